#include "apps/forms/ControlFactory.h"

#include "ctltrovel/ctlTrovel.h"
#include "platform/Error.h"

namespace trovel::forms {

std::unique_ptr<Control> ControlFactory::Create(const std::string& class_name, Host& host) {
  if (class_name == "ctlTrovel") return std::make_unique<ctlTrovel>(host);
  throw Error::InvalidValue("unknown control class \"" + class_name + "\"");
}

void ControlFactory::Prepare(Control&, const nlohmann::json&) {}

std::string ControlFactory::Describe(Control&) { return ""; }

}  // namespace trovel::forms
