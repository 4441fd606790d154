#include "platform/Decimal.h"

#include <algorithm>
#include <charconv>

namespace trovel {
namespace {

using Wide = unsigned __int128;

constexpr Wide PowerOfTen(int n) {
  Wide p = 1;
  for (int i = 0; i < n; ++i) p *= 10;
  return p;
}

// 28 digits always fit the 96 bits, so Parse needs to count digits only.
static_assert(PowerOfTen(Decimal::kMaxDigits) - 1 < (Wide(1) << 96));

constexpr Wide kPowersOfTen[] = {
    PowerOfTen(0),  PowerOfTen(1),  PowerOfTen(2),  PowerOfTen(3),  PowerOfTen(4),  PowerOfTen(5),
    PowerOfTen(6),  PowerOfTen(7),  PowerOfTen(8),  PowerOfTen(9),  PowerOfTen(10), PowerOfTen(11),
    PowerOfTen(12), PowerOfTen(13), PowerOfTen(14), PowerOfTen(15), PowerOfTen(16), PowerOfTen(17),
    PowerOfTen(18), PowerOfTen(19), PowerOfTen(20), PowerOfTen(21), PowerOfTen(22), PowerOfTen(23),
    PowerOfTen(24), PowerOfTen(25), PowerOfTen(26), PowerOfTen(27), PowerOfTen(28)};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

Decimal::Decimal(int64_t value) {
  // The magnitude in unsigned arithmetic: -INT64_MIN does not fit int64.
  const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  low_ = magnitude;
  negative_ = value < 0;
}

std::optional<Decimal> Decimal::Parse(std::string_view text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const size_t whole_start = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  std::string_view whole = text.substr(whole_start, i - whole_start);
  std::string_view fraction;
  if (i < text.size() && text[i] == '.') {
    const size_t fraction_start = ++i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    fraction = text.substr(fraction_start, i - fraction_start);
  }
  if (i != text.size() || (whole.empty() && fraction.empty())) return std::nullopt;

  // Only the significant digits are kept: a long run of zeros in front, or
  // behind the point at the end, changes nothing of the value.
  while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);
  while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);
  size_t significant = whole.size() + fraction.size();
  if (whole.empty()) significant -= std::min(fraction.size(), fraction.find_first_not_of('0'));
  if (significant > kMaxDigits || fraction.size() > kMaxScale) return std::nullopt;

  Wide mantissa = 0;
  for (char c : whole) mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
  for (char c : fraction) mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
  Decimal d;
  d.low_ = static_cast<uint64_t>(mantissa);
  d.high_ = static_cast<uint32_t>(mantissa >> 64);
  d.scale_ = static_cast<uint8_t>(fraction.size());
  d.negative_ = negative && mantissa != 0;
  return d;
}

int Decimal::MantissaDigits(char* out) const {
  Wide m = (Wide(high_) << 64) | low_;
  char reversed[kMantissaDigitsRoom];
  int n = 0;
  for (; m != 0; m /= 10) reversed[n++] = static_cast<char>('0' + static_cast<unsigned>(m % 10));
  for (int k = 0; k < n; ++k) out[k] = reversed[n - 1 - k];
  return n;
}

std::string Decimal::ToString() const {
  char digits[kMantissaDigitsRoom];
  const int n = MantissaDigits(digits);
  if (n == 0) return "0";
  std::string out;
  out.reserve(static_cast<size_t>(n + scale_) + 3);
  if (negative_) out += '-';
  if (n <= scale_) {
    out += "0.";
    out.append(static_cast<size_t>(scale_ - n), '0');
    out.append(digits, static_cast<size_t>(n));
  } else {
    out.append(digits, static_cast<size_t>(n - scale_));
    if (scale_ > 0) {
      out += '.';
      out.append(digits + n - scale_, static_cast<size_t>(scale_));
    }
  }
  return out;
}

double Decimal::ToDouble() const {
  // Both operands exact in a double: the one division rounds once, to the
  // nearest.
  static constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                            1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  if (high_ == 0 && low_ < (uint64_t{1} << 53) && scale_ <= 22) {
    const double magnitude = static_cast<double>(low_) / kExactPowers[scale_];
    return negative_ ? -magnitude : magnitude;
  }
  // Otherwise from the digits, which from_chars rounds correctly.
  const std::string text = ToString();
  double d = 0;
  std::from_chars(text.data(), text.data() + text.size(), d);
  return d;
}

std::optional<int64_t> Decimal::ToInt64() const {
  const Wide m = (Wide(high_) << 64) | low_;
  const Wide unit = kPowersOfTen[scale_];
  Wide whole = m / unit;
  if (scale_ > 0) {
    const Wide rest = m % unit, half = unit / 2;
    if (rest > half || (rest == half && (whole & 1) != 0)) ++whole;
  }
  const Wide limit = Wide(1) << 63;  // -2^63 is the least int64, 2^63 - 1 the largest
  if (negative_) {
    if (whole > limit) return std::nullopt;
    return static_cast<int64_t>(0 - static_cast<uint64_t>(whole));
  }
  if (whole >= limit) return std::nullopt;
  return static_cast<int64_t>(whole);
}

std::strong_ordering operator<=>(const Decimal& a, const Decimal& b) {
  if (a.negative_ != b.negative_) return a.negative_ ? std::strong_ordering::less : std::strong_ordering::greater;
  // Whole parts first, then the fractions brought to the larger scale,
  // where they stay below 10^28 and so within 128 bits.
  const Wide ma = (Wide(a.high_) << 64) | a.low_, mb = (Wide(b.high_) << 64) | b.low_;
  const Wide ua = kPowersOfTen[a.scale_], ub = kPowersOfTen[b.scale_];
  std::strong_ordering magnitude = ma / ua <=> mb / ub;
  if (magnitude == 0) {
    const int scale = a.scale_ > b.scale_ ? a.scale_ : b.scale_;
    magnitude = (ma % ua) * kPowersOfTen[scale - a.scale_] <=> (mb % ub) * kPowersOfTen[scale - b.scale_];
  }
  return a.negative_ ? 0 <=> magnitude : magnitude;
}

}  // namespace trovel
