// Variant: the dynamically typed value of the host runtime. Field values,
// property-bag values and property access by name all pass as Variants.
//
// Conversions follow the runtime's ordinary rules: Empty converts to "" and 0,
// Null converts to nothing (type-mismatch error), numbers to their shortest
// text within 15 (Double) or 7 (Single) significant digits, in exponent form
// ("1E+15", "1E-05") only outside 0.0001 up to that many digits, dates to "dd/mm/yyyy" (plus " hh:nn:ss" when they carry a time),
// Booleans to "True"/"False", a Decimal to all its digits (Decimal.h). A
// conversion that is impossible throws
// Error::TypeMismatch; a number outside the target's range throws
// Error::Overflow.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "platform/DateTime.h"
#include "platform/Decimal.h"

namespace trovel {

class Variant {
 public:
  enum class Type { Empty, Null, Boolean, Integer, Long, Single, Double, Date, String, Decimal };

  struct NullTag {};
  static constexpr NullTag Null{};

  Variant() = default;  // Empty
  Variant(NullTag) : value_(NullValue{}) {}
  Variant(bool b) : value_(b) {}
  Variant(int16_t i) : value_(i) {}
  Variant(int32_t i) : value_(i) {}
  Variant(float f) : value_(f) {}
  Variant(double d) : value_(d) {}
  Variant(const DateTime& d) : value_(d) {}
  Variant(std::string s) : value_(std::move(s)) {}
  Variant(const char* s) : value_(std::string(s)) {}
  Variant(const Decimal& d) : value_(d) {}

  Type type() const;
  bool IsEmpty() const { return type() == Type::Empty; }
  bool IsNull() const { return type() == Type::Null; }
  bool IsNumeric() const;  // Boolean, Integer, Long, Single, Double or Decimal

  // Ordinary conversions. Text that reads as a number converts to a number
  // (a Double: text never becomes a Decimal), text that reads as a date
  // (dd/mm/yyyy, yyyy-mm-dd) converts to a date. A Decimal converts to a
  // Double by rounding to the nearest, and to an Integer or Long from its
  // exact value.
  std::string ToString() const&;
  // The same text; a String gives its own text up rather than a copy.
  std::string ToString() &&;
  double ToDouble() const;
  int16_t ToInteger() const;  // rounds half to even, range-checked
  int32_t ToLong() const;     // rounds half to even, range-checked
  float ToSingle() const;
  bool ToBoolean() const;
  DateTime ToDate() const;
  // The Decimal held, without a copy; nullptr for any other type.
  const Decimal* DecimalValue() const;

  // Exact comparison: same type and same value (a Decimal 5 is not a Double 5).
  friend bool operator==(const Variant& a, const Variant& b) { return a.value_ == b.value_; }

 private:
  struct NullValue {
    friend bool operator==(NullValue, NullValue) { return true; }
  };
  // In the order of Type. A Decimal takes 16 bytes, less than the string:
  // it leaves the Variant's size as it was.
  std::variant<std::monostate, NullValue, bool, int16_t, int32_t, float, double, DateTime,
               std::string, Decimal>
      value_;
};

}  // namespace trovel
