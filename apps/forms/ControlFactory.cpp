#include "apps/forms/ControlFactory.h"

#include <algorithm>

#include "ctltrovel/ctlTrovel.h"
#include "ctltrovel2/ColumnDescription.h"
#include "ctltrovel2/ctlTrovel2.h"
#include "platform/Error.h"

namespace trovel::forms {

using nlohmann::json;

std::unique_ptr<Control> ControlFactory::Create(const std::string& class_name, Host& host) {
  if (class_name == "ctlTrovel") return std::make_unique<ctlTrovel>(host);
  if (class_name == "ctlTrovel2") return std::make_unique<ctlTrovel2>(host);
  throw Error::InvalidValue("unknown control class \"" + class_name + "\"");
}

bool ControlFactory::Knows(const std::string& class_name) {
  return class_name == "ctlTrovel" || class_name == "ctlTrovel2";
}

void ControlFactory::Prepare(Control& control, const json& entry) {
  auto* trovel2 = dynamic_cast<ctlTrovel2*>(&control);
  if (trovel2 && entry.contains("columns"))
    ColumnDescription::AddAll(*trovel2, ColumnDescription::FromJson(entry["columns"]));
}

void ControlFactory::CheckEveryKeyRead(const MemoryPropertyBag& bag) {
  std::string unknown;
  for (const auto& [key, value] : bag.Values())
    if (std::find(bag.reads.begin(), bag.reads.end(), key) == bag.reads.end())
      unknown += (unknown.empty() ? "\"" : ", \"") + key + "\"";
  if (!unknown.empty()) throw Error::InvalidValue("the control has no property " + unknown);
}

std::string ControlFactory::Describe(Control& control) {
  auto* trovel2 = dynamic_cast<ctlTrovel2*>(&control);
  if (!trovel2 || !trovel2->Columns()) return "";
  std::string out = "Value:";
  for (const std::shared_ptr<clsColumn>& c : *trovel2->Columns()) out += " " + c->Field() + "=\"" + c->Value() + "\"";
  return out;
}

}  // namespace trovel::forms
