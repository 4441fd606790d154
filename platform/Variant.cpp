#include "platform/Variant.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string_view>

#include "platform/DateTest.h"
#include "platform/Error.h"
#include "platform/Text.h"

namespace trovel {
namespace {

std::string Trimmed(const std::string& s) { return Text::Trim(s, Text::Blanks::kSpacesAndTabs); }

// The runtime's text of a number: rounded to `digits` significant digits
// (15 for a Double, 7 for a Single), trailing zeros dropped, in exponent form
// only when the rounded value's decimal exponent is below -4 or reaches
// `digits` (from 1E+15 for a Double, 1E+07 for a Single), since fixed
// notation would then need more digits than the value carries. That is the
// rule of "%g", so one to_chars call formats the value; only the exponent is
// rewritten the runtime's way (capital E, sign, at least two digits, which
// to_chars already writes).
// The same text when the shortest digits that read back as d are no more
// than `digits`: rounding d to `digits` significant digits then gives those
// digits again (d lies within half a unit in the last place of them, far
// closer than the rounding's half step), and the shortest digits are much
// cheaper to find than a rounding to a given precision. Empty otherwise.
std::string ShortNumberText(double d, int digits) {
  char buf[64];
  const char* end = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific).ptr;
  const std::string_view sci(buf, static_cast<size_t>(end - buf));  // [-]d[.ddd]e(+|-)xx
  const size_t e = sci.find('e');
  const bool negative = sci[0] == '-';
  std::string mantissa(sci.substr(negative, e - negative));
  if (mantissa.size() > 1) mantissa.erase(1, 1);  // the point
  if (static_cast<int>(mantissa.size()) > digits) return "";
  int exponent = 0;
  std::from_chars(sci.data() + e + (sci[e + 1] == '+' ? 2 : 1), sci.data() + sci.size(), exponent);
  std::string out = negative ? "-" : "";
  if (exponent < -4 || exponent >= digits) {
    out += mantissa[0];
    if (mantissa.size() > 1) out += '.' + mantissa.substr(1);
    out += exponent < 0 ? "E-" : "E+";
    const std::string power = std::to_string(exponent < 0 ? -exponent : exponent);
    if (power.size() < 2) out += '0';
    out += power;
  } else if (exponent < 0) {
    out += "0.";
    out.append(static_cast<size_t>(-exponent - 1), '0');
    out += mantissa;
  } else if (mantissa.size() <= static_cast<size_t>(exponent) + 1) {
    out += mantissa;
    out.append(static_cast<size_t>(exponent) + 1 - mantissa.size(), '0');
  } else {
    out += mantissa.substr(0, static_cast<size_t>(exponent) + 1);
    out += '.';
    out += mantissa.substr(static_cast<size_t>(exponent) + 1);
  }
  return out;
}

std::string NumberText(double d, int digits) {
  if (std::isnan(d)) return "1.#QNAN";
  if (std::isinf(d)) return d < 0 ? "-1.#INF" : "1.#INF";
  if (d == 0) return "0";  // -0 too
  // A subnormal value has fewer bits than the argument above needs.
  if (std::fabs(d) >= std::numeric_limits<double>::min())
    if (std::string text = ShortNumberText(d, digits); !text.empty()) return text;
  char buf[64];
  // 15 digits, sign, point and exponent always fit.
  std::string text(buf, std::to_chars(buf, buf + sizeof buf, d, std::chars_format::general, digits).ptr);
  if (size_t e = text.find('e'); e != std::string::npos) text[e] = 'E';
  return text;
}

std::string Pad2(int v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", v);
  return buf;
}

bool ParseNumber(const std::string& text, double& out) {
  std::string t = Trimmed(text);
  if (t.empty()) return false;
  char* end = nullptr;
  out = std::strtod(t.c_str(), &end);
  return end && *end == '\0' && std::isfinite(out);
}

bool ParseInts(const std::string& t, char sep, int& a, int& b, int& c, size_t& used) {
  int n = 0;
  if (std::sscanf(t.c_str(), sep == '/' ? "%d/%d/%d%n" : "%d-%d-%d%n", &a, &b, &c, &n) != 3) return false;
  used = static_cast<size_t>(n);
  return true;
}

bool ParseDate(const std::string& text, DateTime& out) {
  std::string t = Trimmed(text);
  int a, b, c;
  size_t used;
  DateTime d;
  if (ParseInts(t, '-', a, b, c, used) && a > 31) {  // yyyy-mm-dd
    d.year = a, d.month = b, d.day = c;
  } else if (ParseInts(t, '/', a, b, c, used) || ParseInts(t, '-', a, b, c, used)) {
    d.day = a, d.month = b, d.year = c < 100 ? (c < 30 ? 2000 + c : 1900 + c) : c;
  } else {
    return false;
  }
  std::string rest = Trimmed(t.substr(used));
  if (!rest.empty()) {
    if (rest[0] == 'T') rest = rest.substr(1);
    int n = 0;
    if (std::sscanf(rest.c_str(), "%d:%d:%d%n", &d.hour, &d.minute, &d.second, &n) != 3 ||
        Trimmed(rest.substr(static_cast<size_t>(n))).size() > 0)
      return false;
  }
  if (!DateTest::IsValid(d)) return false;
  out = d;
  return true;
}

double RoundHalfEven(double v) { return v - std::floor(v) == 0.5 ? 2 * std::round(v / 2) : std::round(v); }

template <typename Int>
Int ToWhole(double v) {
  if (!std::isfinite(v)) throw Error::Overflow();
  double r = RoundHalfEven(v);
  if (r < std::numeric_limits<Int>::min() || r > std::numeric_limits<Int>::max()) throw Error::Overflow();
  return static_cast<Int>(r);
}

// A Decimal rounds from its exact value: through a double, a value such as
// 2147483647.5 would be rounded twice.
template <typename Int>
Int ToWhole(const Decimal& d) {
  const std::optional<int64_t> r = d.ToInt64();
  if (!r || *r < std::numeric_limits<Int>::min() || *r > std::numeric_limits<Int>::max()) throw Error::Overflow();
  return static_cast<Int>(*r);
}

template <typename Int>
Int ToWhole(const Variant& v) {
  if (v.type() == Variant::Type::Decimal) return ToWhole<Int>(*v.DecimalValue());
  return ToWhole<Int>(v.ToDouble());
}

}  // namespace

Variant::Type Variant::type() const { return static_cast<Type>(value_.index()); }

bool Variant::IsNumeric() const {
  Type t = type();
  return t == Type::Boolean || t == Type::Integer || t == Type::Long || t == Type::Single ||
         t == Type::Double || t == Type::Decimal;
}

std::string Variant::ToString() && {
  if (auto* text = std::get_if<std::string>(&value_)) return std::move(*text);
  return static_cast<const Variant&>(*this).ToString();
}

std::string Variant::ToString() const& {
  switch (type()) {
    case Type::Empty: return "";
    case Type::Null: throw Error::TypeMismatch("Null no tiene texto");
    case Type::Boolean: return std::get<bool>(value_) ? "True" : "False";
    case Type::Integer: return std::to_string(std::get<int16_t>(value_));
    case Type::Long: return std::to_string(std::get<int32_t>(value_));
    case Type::Single: return NumberText(std::get<float>(value_), 7);
    case Type::Double: return NumberText(std::get<double>(value_), 15);
    case Type::Date: {
      const DateTime& d = std::get<DateTime>(value_);
      std::string s = Pad2(d.day) + "/" + Pad2(d.month) + "/" + std::to_string(d.year);
      if (d.hour || d.minute || d.second)
        s += " " + Pad2(d.hour) + ":" + Pad2(d.minute) + ":" + Pad2(d.second);
      return s;
    }
    case Type::String: return std::get<std::string>(value_);
    case Type::Decimal: return std::get<Decimal>(value_).ToString();
  }
  return "";
}

double Variant::ToDouble() const {
  switch (type()) {
    case Type::Empty: return 0;
    case Type::Null: throw Error::TypeMismatch("Null no es un número");
    case Type::Boolean: return std::get<bool>(value_) ? -1 : 0;
    case Type::Integer: return std::get<int16_t>(value_);
    case Type::Long: return std::get<int32_t>(value_);
    case Type::Single: return std::get<float>(value_);
    case Type::Double: return std::get<double>(value_);
    case Type::Date: throw Error::TypeMismatch("una fecha no es un número");
    case Type::String: {
      double d;
      if (!ParseNumber(std::get<std::string>(value_), d))
        throw Error::TypeMismatch("\"" + std::get<std::string>(value_) + "\" no es un número");
      return d;
    }
    case Type::Decimal: return std::get<Decimal>(value_).ToDouble();
  }
  return 0;
}

const Decimal* Variant::DecimalValue() const { return std::get_if<Decimal>(&value_); }

int16_t Variant::ToInteger() const { return ToWhole<int16_t>(*this); }
int32_t Variant::ToLong() const { return ToWhole<int32_t>(*this); }

float Variant::ToSingle() const {
  double d = ToDouble();
  if (std::fabs(d) > std::numeric_limits<float>::max()) throw Error::Overflow();
  return static_cast<float>(d);
}

bool Variant::ToBoolean() const {
  if (type() == Type::String) {
    const std::string& s = std::get<std::string>(value_);
    if (s == "True" || s == "true") return true;
    if (s == "False" || s == "false") return false;
  }
  return ToDouble() != 0;
}

DateTime Variant::ToDate() const {
  if (type() == Type::Date) return std::get<DateTime>(value_);
  if (type() == Type::String) {
    DateTime d;
    if (ParseDate(std::get<std::string>(value_), d)) return d;
  }
  throw Error::TypeMismatch("\"" + (type() == Type::Null ? std::string("Null") : ToString()) +
                            "\" no es una fecha");
}

}  // namespace trovel
