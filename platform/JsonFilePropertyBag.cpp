#include "platform/JsonFilePropertyBag.h"

#include <fstream>

#include "platform/Error.h"

namespace trovel {

using nlohmann::json;

json JsonFilePropertyBag::EncodeValue(const Variant& v) {
  switch (v.type()) {
    case Variant::Type::Empty: return json{{"type", "Empty"}};
    case Variant::Type::Null: return json{{"type", "Null"}};
    case Variant::Type::Boolean: return v.ToBoolean();
    case Variant::Type::Integer: return json{{"type", "Integer"}, {"value", v.ToInteger()}};
    case Variant::Type::Long: return json{{"type", "Long"}, {"value", v.ToLong()}};
    case Variant::Type::Single: return json{{"type", "Single"}, {"value", v.ToSingle()}};
    case Variant::Type::Double: return json{{"type", "Double"}, {"value", v.ToDouble()}};
    case Variant::Type::Date: {
      DateTime d = v.ToDate();
      return json{{"type", "Date"}, {"value", {d.year, d.month, d.day, d.hour, d.minute, d.second}}};
    }
    case Variant::Type::String: return v.ToString();
  }
  return json();
}

Variant JsonFilePropertyBag::DecodeValue(const json& j) {
  if (j.is_string()) return Variant(j.get<std::string>());
  if (j.is_boolean()) return Variant(j.get<bool>());
  if (j.is_number_integer()) return Variant(j.get<int32_t>());
  if (j.is_number()) return Variant(j.get<double>());
  if (!j.is_object() || !j.contains("type") || !j["type"].is_string())
    throw Error(Error::kTypeMismatch, "unreadable property value: " + j.dump());
  std::string type = j["type"];
  if (type == "Empty") return Variant();
  if (type == "Null") return Variant(Variant::Null);
  if (!j.contains("value")) throw Error(Error::kTypeMismatch, "property value without value: " + j.dump());
  const json& value = j["value"];
  try {
    if (type == "Integer") return Variant(value.get<int16_t>());
    if (type == "Long") return Variant(value.get<int32_t>());
    if (type == "Single") return Variant(value.get<float>());
    if (type == "Double") return Variant(value.get<double>());
    if (type == "Date") {
      auto p = value.get<std::vector<int>>();
      if (p.size() != 6) throw Error(Error::kTypeMismatch, "a date needs six parts");
      return Variant(DateTime{p[0], p[1], p[2], p[3], p[4], p[5]});
    }
  } catch (const json::exception& e) {
    throw Error(Error::kTypeMismatch, "unreadable " + type + " value: " + value.dump());
  }
  throw Error(Error::kTypeMismatch, "unknown property type " + type);
}

json JsonFilePropertyBag::ToJson() const {
  json out = json::object();
  for (const auto& [key, value] : Values()) out[key] = EncodeValue(value);
  return out;
}

void JsonFilePropertyBag::FromJson(const json& j) {
  if (!j.is_object()) throw Error(Error::kTypeMismatch, "a property bag must be a JSON object");
  for (const auto& [key, value] : j.items()) Set(key, DecodeValue(value));
}

void JsonFilePropertyBag::Load(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw Error(75, "cannot read " + path);
  try {
    FromJson(json::parse(in));
  } catch (const json::parse_error& e) {
    throw Error(Error::kTypeMismatch, path + " is not valid JSON: " + e.what());
  }
}

void JsonFilePropertyBag::Save(const std::string& path) const {
  std::ofstream out(path);
  out << ToJson().dump(2) << "\n";
  if (!out) throw Error(75, "cannot write " + path);
}

}  // namespace trovel
