#include "platform/JsonFilePropertyBag.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <optional>

#include "platform/DateTest.h"
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
    // As its text: a JSON number would pass through a double.
    case Variant::Type::Decimal: return json{{"type", "Decimal"}, {"value", v.ToString()}};
  }
  return json();
}

namespace {

// `value` as a whole number from `low` to `high`. nlohmann's get<> casts
// without a check: 4294967298 would become 2 and 1e20 is undefined
// behaviour, so the range is checked here first.
// `a_type` names the type with its article ("un Long").
int32_t WholeNumber(const json& value, int32_t low, int32_t high, const std::string& a_type) {
  if (!value.is_number()) throw Error(Error::kTypeMismatch, a_type + " debe ser un número");
  const double d = value.get<double>();
  if (value.is_number_float() && d != std::trunc(d))
    throw Error(Error::kTypeMismatch, a_type + " debe ser un número entero, no " + value.dump());
  if (value.is_number_unsigned() ? value.get<uint64_t>() > static_cast<uint64_t>(high) : !(d >= low && d <= high))
    throw Error(Error::kOverflow, value.dump() + " no cabe en " + a_type + " (de " + std::to_string(low) + " a " +
                                      std::to_string(high) + ")");
  return static_cast<int32_t>(value.is_number_float() ? d : static_cast<double>(value.get<int64_t>()));
}

// `value` as a finite number no larger than `max`.
double RealNumber(const json& value, double max, const std::string& a_type) {
  if (!value.is_number()) throw Error(Error::kTypeMismatch, a_type + " debe ser un número");
  const double d = value.get<double>();
  if (!(std::fabs(d) <= max)) throw Error(Error::kOverflow, value.dump() + " no cabe en " + a_type);
  return d;
}

}  // namespace

Variant JsonFilePropertyBag::DecodeValue(const json& j) {
  if (j.is_string()) return Variant(j.get<std::string>());
  if (j.is_boolean()) return Variant(j.get<bool>());
  if (j.is_number_integer()) return Variant(WholeNumber(j, INT32_MIN, INT32_MAX, "un Long"));
  if (j.is_number()) return Variant(RealNumber(j, DBL_MAX, "un Double"));
  if (!j.is_object() || !j.contains("type") || !j["type"].is_string())
    throw Error(Error::kTypeMismatch, "valor de propiedad ilegible: " + j.dump());
  std::string type = j["type"];
  if (type == "Empty") return Variant();
  if (type == "Null") return Variant(Variant::Null);
  if (!j.contains("value")) throw Error(Error::kTypeMismatch, "valor de propiedad sin value: " + j.dump());
  const json& value = j["value"];
  if (type == "Integer") return Variant(static_cast<int16_t>(WholeNumber(value, INT16_MIN, INT16_MAX, "un Integer")));
  if (type == "Long") return Variant(WholeNumber(value, INT32_MIN, INT32_MAX, "un Long"));
  if (type == "Single") return Variant(static_cast<float>(RealNumber(value, FLT_MAX, "un Single")));
  if (type == "Double") return Variant(RealNumber(value, DBL_MAX, "un Double"));
  if (type == "Decimal") {
    std::optional<Decimal> d;
    if (value.is_string()) d = Decimal::Parse(value.get<std::string>());
    if (!d)
      throw Error(Error::kTypeMismatch,
                  "un Decimal es el texto de un número de hasta 28 cifras significativas, no " + value.dump());
    return Variant(*d);
  }
  if (type == "Date") {
    // Year, month, day, hour, minute, second, of a date that exists.
    static constexpr int kLow[] = {100, 1, 1, 0, 0, 0}, kHigh[] = {9999, 12, 31, 23, 59, 59};
    bool valid = value.is_array() && value.size() == 6;
    int p[6] = {};
    for (size_t i = 0; valid && i < 6; ++i) {
      valid = value[i].is_number_integer() && value[i].get<int64_t>() >= kLow[i] && value[i].get<int64_t>() <= kHigh[i];
      if (valid) p[i] = value[i].get<int>();
    }
    if (!valid || p[2] > DateTest::DaysInMonth(p[0], p[1]))
      throw Error(Error::kTypeMismatch, "un Date es [año, mes, día, hora, minuto, segundo] de un día que existe, no " +
                                            value.dump());
    return Variant(DateTime{p[0], p[1], p[2], p[3], p[4], p[5]});
  }
  throw Error(Error::kTypeMismatch, "tipo de propiedad desconocido " + type);
}

json JsonFilePropertyBag::ToJson() const {
  json out = json::object();
  for (const auto& [key, value] : Values()) out[key] = EncodeValue(value);
  return out;
}

void JsonFilePropertyBag::FromJson(const json& j) {
  if (!j.is_object()) throw Error(Error::kTypeMismatch, "una bolsa de propiedades debe ser un objeto JSON");
  for (const auto& [key, value] : j.items()) {
    try {
      Set(key, DecodeValue(value));
    } catch (const Error& e) {
      throw Error(e.number(), "la propiedad " + key + ": " + e.description());
    }
  }
}

void JsonFilePropertyBag::Load(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw Error(75, "no se puede leer " + path);
  try {
    FromJson(json::parse(in));
  } catch (const json::exception& e) {  // a syntax error, or a number past a double's range
    throw Error(Error::kTypeMismatch, path + " no es JSON válido: " + e.what());
  }
}

void JsonFilePropertyBag::Save(const std::string& path) const {
  std::ofstream out(path);
  out << ToJson().dump(2) << "\n";
  if (!out) throw Error(75, "no se puede escribir " + path);
}

}  // namespace trovel
