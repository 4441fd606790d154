#include "ctltrovel2/ColumnDescription.h"

#include <set>

#include "ctltrovel2/ctlTrovel2.h"
#include "platform/Error.h"
#include "platform/Text.h"

namespace trovel {

using nlohmann::json;

namespace {

std::string Where(std::size_t index) { return "columna " + std::to_string(index + 1) + ": "; }

void ReadText(const json& c, const char* key, std::string& into, std::size_t index) {
  if (!c.contains(key)) return;
  if (!c[key].is_string()) throw Error::TypeMismatch(Where(index) + "\"" + key + "\" debe ser un texto");
  into = c[key].get<std::string>();
}

int64_t ReadWhole(const json& c, const char* key, int64_t fallback, std::size_t index) {
  if (!c.contains(key)) return fallback;
  if (!c[key].is_number_integer()) throw Error::TypeMismatch(Where(index) + "\"" + key + "\" debe ser un número entero");
  return c[key].get<int64_t>();
}

}  // namespace

std::vector<ColumnDescription> ColumnDescription::FromJson(const json& list) {
  if (!list.is_array()) throw Error::TypeMismatch("las columnas deben ser una lista");
  std::vector<ColumnDescription> out;
  std::set<std::string> keys;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const json& c = list[i];
    if (!c.is_object()) throw Error::TypeMismatch(Where(i) + "cada columna es un objeto");
    ColumnDescription d;
    ReadText(c, "key", d.key, i);
    ReadText(c, "field", d.field, i);
    ReadText(c, "table", d.table, i);
    ReadText(c, "caption", d.caption, i);
    ReadText(c, "skey", d.skey, i);
    ReadText(c, "format", d.format, i);
    const int64_t type = ReadWhole(c, "type", ctvTEXT, i);
    if (type < ctvTEXT || type > ctvDATE) throw Error::InvalidValue(Where(i) + "\"type\" debe ser 0, 1 o 2");
    d.type = static_cast<TIPOC>(type);
    const int64_t length = ReadWhole(c, "length", 0, i);
    if (length < INT16_MIN || length > INT16_MAX) throw Error::Overflow(Where(i) + "\"length\"");
    d.length = static_cast<int16_t>(length);
    if (c.contains("visible")) {
      if (!c["visible"].is_boolean()) throw Error::TypeMismatch(Where(i) + "\"visible\" debe ser true o false");
      d.visible = c["visible"].get<bool>();
    }
    // Add refuses a repeated key half-way through; refuse the list first.
    const std::string& key = d.skey.empty() ? d.field : d.skey;
    if (!keys.insert(Text::Upper(key)).second)
      throw Error::KeyAlreadyInCollection(Where(i) + "la clave \"" + key + "\" ya está en uso");
    out.push_back(std::move(d));
  }
  return out;
}

std::vector<ColumnDescription> ColumnDescription::Parse(const std::string& text) {
  if (text.find_first_not_of(" \t\r\n") == std::string::npos) return {};
  json list;
  try {
    list = json::parse(text);
  } catch (const json::exception& e) {  // a syntax error, or a number past a double's range
    throw Error::TypeMismatch(std::string("las columnas no son JSON válido: ") + e.what());
  }
  return FromJson(list);
}

json ColumnDescription::ToJson(const std::vector<ColumnDescription>& columns) {
  const ColumnDescription blank;
  json out = json::array();
  for (const ColumnDescription& d : columns) {
    json c = json::object();
    auto text = [&](const char* key, const std::string& value) {
      if (!value.empty()) c[key] = value;
    };
    text("key", d.key);
    text("field", d.field);
    text("table", d.table);
    if (d.type != blank.type) c["type"] = static_cast<int>(d.type);
    text("caption", d.caption);
    if (d.length != blank.length) c["length"] = d.length;
    text("skey", d.skey);
    text("format", d.format);
    if (d.visible != blank.visible) c["visible"] = d.visible;
    out.push_back(std::move(c));
  }
  return out;
}

std::string ColumnDescription::Text(const std::vector<ColumnDescription>& columns) {
  return columns.empty() ? "" : ToJson(columns).dump();
}

void ColumnDescription::AddAll(ctlTrovel2& control, const std::vector<ColumnDescription>& columns) {
  const std::shared_ptr<clsColumns>& collection = control.Columns();
  if (!collection) throw Error::ObjectNotSet("el control no tiene colección de columnas");
  for (const ColumnDescription& d : columns) {
    std::shared_ptr<clsColumn> column =
        collection->Add(d.key, d.field, d.table, d.type, d.caption, d.length, d.skey);
    if (!column) continue;  // Add has shown why
    if (!d.format.empty()) column->Format(d.format);
    if (!d.visible) column->Visible(false);
  }
}

}  // namespace trovel
