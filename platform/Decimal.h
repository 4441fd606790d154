// Decimal: the runtime's exact number, the Decimal subtype of a Variant. A
// value is an unsigned integer mantissa below 2^96, a sign and a scale from
// 0 to 28: mantissa / 10^scale. It holds every number of up to 28
// significant digits exactly, such as the 64-bit keys and the numeric
// amounts of a database, which a Double would round past 15 digits.
//
// A Decimal is kept in one form only: no trailing zeros in its fraction
// (12.50 is 12.5, scale 1) and no negative zero. Equal values therefore have
// equal members, and the text drops those zeros as the runtime prints a
// Decimal: 12.50 -> "12.5".
//
// There is no arithmetic: values come from text or from whole numbers and
// leave as text, as a Double or as their digits (for Format).
//
// Thread-safety: a value type; distinct objects need no locking, and a
// const object may be read from several threads at once.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trovel {

class Decimal {
 public:
  static constexpr int kMaxScale = 28;
  static constexpr int kMaxDigits = 28;  // significant digits that Parse takes
  // Room for the digits of any mantissa below 2^96.
  static constexpr int kMantissaDigitsRoom = 29;

  Decimal() = default;  // zero
  explicit Decimal(int64_t value);

  // The exact value of `text`: an optional sign, digits and at most one
  // point ("-12.50", "+7", ".5", "5."). No blanks, no exponent, no grouping.
  // Leading zeros and trailing zeros of the fraction do not count as
  // significant. Returns nullopt for any other text, and for a value that
  // needs more than kMaxDigits significant digits or more than kMaxScale
  // decimals: such a value is never rounded to fit.
  static std::optional<Decimal> Parse(std::string_view text);

  // All the digits, no exponent, no trailing zeros in the fraction, "-"
  // before a negative value, "0" before the point of a value below 1:
  // "1234567890123456789", "-0.05", "0".
  std::string ToString() const;
  // The nearest double.
  double ToDouble() const;
  // Rounded half to even to a whole number, as the runtime's integer
  // conversions round (2.5 -> 2, 3.5 -> 4); nullopt outside int64.
  std::optional<int64_t> ToInt64() const;

  bool IsZero() const { return low_ == 0 && high_ == 0; }
  bool IsNegative() const { return negative_; }
  int Scale() const { return scale_; }
  // Writes the mantissa's decimal digits, with no leading zeros (none at
  // all for zero), to `out`; returns how many. The value is those digits
  // with the last Scale() of them after the point.
  // REQUIRES: `out` has room for kMantissaDigitsRoom characters.
  int MantissaDigits(char* out) const;

  friend bool operator==(const Decimal&, const Decimal&) = default;
  friend std::strong_ordering operator<=>(const Decimal& a, const Decimal& b);

 private:
  uint64_t low_ = 0;   // mantissa bits 0..63
  uint32_t high_ = 0;  // mantissa bits 64..95
  uint8_t scale_ = 0;
  bool negative_ = false;
};

}  // namespace trovel
