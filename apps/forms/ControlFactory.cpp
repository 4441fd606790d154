#include "apps/forms/ControlFactory.h"

#include "ctltrovel/ctlTrovel.h"
#include "ctltrovel2/ctlTrovel2.h"
#include "platform/Error.h"

namespace trovel::forms {

using nlohmann::json;

namespace {

std::string TextOf(const json& column, const char* key) {
  if (!column.contains(key)) return "";
  if (!column[key].is_string()) throw Error(Error::kTypeMismatch, std::string("column \"") + key + "\" must be text");
  return column[key].get<std::string>();
}

int64_t NumberOf(const json& column, const char* key, int64_t fallback) {
  if (!column.contains(key)) return fallback;
  if (!column[key].is_number_integer())
    throw Error(Error::kTypeMismatch, std::string("column \"") + key + "\" must be a whole number");
  return column[key].get<int64_t>();
}

// Describes ctlTrovel2's columns as a host program would, with Columns.Add.
void AddColumns(ctlTrovel2& control, const json& columns) {
  if (!columns.is_array()) throw Error(Error::kTypeMismatch, "\"columns\" must be a list");
  for (const json& c : columns) {
    if (!c.is_object()) throw Error(Error::kTypeMismatch, "each column is an object");
    const int64_t length = NumberOf(c, "length", 0);
    if (length < INT16_MIN || length > INT16_MAX) throw Error::Overflow("column length");
    std::shared_ptr<clsColumn> column =
        control.Columns()->Add(TextOf(c, "key"), TextOf(c, "field"), TextOf(c, "table"),
                               static_cast<TIPOC>(NumberOf(c, "type", ctvTEXT)), TextOf(c, "caption"),
                               static_cast<int16_t>(length), TextOf(c, "skey"));
    if (!column) continue;  // Add has shown why
    if (c.contains("format")) column->Format(TextOf(c, "format"));
    if (c.contains("visible")) column->Visible(c["visible"].is_boolean() && c["visible"].get<bool>());
  }
}

}  // namespace

std::unique_ptr<Control> ControlFactory::Create(const std::string& class_name, Host& host) {
  if (class_name == "ctlTrovel") return std::make_unique<ctlTrovel>(host);
  if (class_name == "ctlTrovel2") return std::make_unique<ctlTrovel2>(host);
  throw Error::InvalidValue("unknown control class \"" + class_name + "\"");
}

void ControlFactory::Prepare(Control& control, const json& entry) {
  auto* trovel2 = dynamic_cast<ctlTrovel2*>(&control);
  if (trovel2 && entry.contains("columns")) {
    if (!trovel2->Columns()) throw Error::ObjectNotSet("the control has no column collection");
    AddColumns(*trovel2, entry["columns"]);
  }
}

std::string ControlFactory::Describe(Control& control) {
  auto* trovel2 = dynamic_cast<ctlTrovel2*>(&control);
  if (!trovel2 || !trovel2->Columns()) return "";
  std::string out = "Value:";
  for (const std::shared_ptr<clsColumn>& c : *trovel2->Columns()) out += " " + c->Field() + "=\"" + c->Value() + "\"";
  return out;
}

}  // namespace trovel::forms
