#include "ctltrovel2/clsColumn.h"

#include <charconv>
#include <cmath>
#include <exception>
#include <limits>

#include "platform/Error.h"
#include "platform/FlexGrid.h"
#include "platform/Host.h"

namespace trovel {
namespace {

constexpr int kAlignLeftTop = 0;
constexpr int kAlignRightTop = 6;
// Lengths from this many characters on all get the widest column.
constexpr int16_t kWideLength = 50;
constexpr float kWideChars = 53;
constexpr int16_t kPadChars = 3;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The decimal number `text` begins with, read as the runtime's Val reads
// it: blanks, tabs and line ends are skipped wherever they stand, then come
// an optional sign, digits and an optional fraction. No number gives 0; a
// number too large for a double gives infinity.
double LeadingNumber(const std::string& text) {
  std::string s;
  for (char c : text)
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') s += c;
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  const std::size_t int_begin = i;
  while (i < s.size() && IsDigit(s[i])) ++i;
  const std::string whole = s.substr(int_begin, i - int_begin);
  std::string fraction;
  if (i < s.size() && s[i] == '.') {
    const std::size_t frac_begin = ++i;
    while (i < s.size() && IsDigit(s[i])) ++i;
    fraction = s.substr(frac_begin, i - frac_begin);
  }
  if (whole.empty() && fraction.empty()) return 0;
  const std::string digits = (whole.empty() ? "0" : whole) + (fraction.empty() ? "" : "." + fraction);
  double value = 0;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                       std::chars_format::fixed);
  if (result.ec == std::errc::result_out_of_range) {
    // Too large, or too small to tell from 0.
    const bool large = whole.find_first_not_of('0') != std::string::npos;
    value = large ? std::numeric_limits<double>::infinity() : 0;
  }
  return negative ? -value : value;
}

// Nearest whole number, ties to the even neighbour, whatever the current
// floating-point rounding mode is.
double RoundHalfEven(double x) {
  if (!std::isfinite(x)) return x;
  const double below = std::floor(x);
  const double fraction = x - below;  // exact
  if (fraction > 0.5) return below + 1;
  if (fraction < 0.5) return below;
  return std::fmod(below, 2) == 0 ? below : below + 1;
}

}  // namespace

std::shared_ptr<FlexGrid> clsColumn::Grid() const {
  std::shared_ptr<FlexGrid> grid = grid_.lock();
  if (!grid) throw Error::ObjectNotSet("column Key:" + Key + " has no grid");
  return grid;
}

int clsColumn::ColumnIndex() const {
  const double index = RoundHalfEven(LeadingNumber(Key));
  if (!(index >= std::numeric_limits<int>::min() && index <= std::numeric_limits<int>::max()))
    throw Error::SubscriptOutOfRange("grid column of Key:" + Key);
  return static_cast<int>(index);
}

void clsColumn::Message(const std::string& text) const {
  if (host_) host_->MsgBox(text, Host::kOkOnly | Host::kCritical, "Mensaje");
}

void clsColumn::SetWidthUnit(float unit) {
  if (!std::isfinite(unit) || unit < 0) throw Error::InvalidValue("width unit must be a finite twips count of 0 or more");
  width_unit_ = unit;
}

void clsColumn::ApplyWidth(int16_t length) {
  const std::shared_ptr<FlexGrid> grid = Grid();
  const int col = ColumnIndex();
  // Single precision throughout, as the unit itself is.
  const float width = length < kWideLength ? static_cast<float>(length + kPadChars) * width_unit_
                                           : kWideChars * width_unit_;
  const double twips = RoundHalfEven(width);
  if (!std::isfinite(twips) || twips > std::numeric_limits<int32_t>::max())
    throw Error::Overflow("width of column Key:" + Key);
  grid->SetColWidth(col, static_cast<float>(twips));
}

void clsColumn::Caption(const std::string& v) {
  caption_ = v;
  try {
    const std::shared_ptr<FlexGrid> grid = Grid();
    grid->SetTextMatrix(0, ColumnIndex(), caption_);
  } catch (const std::exception& e) {
    Message(std::string(e.what()) + " Numero de Columna Key:" + Key);
  }
}

void clsColumn::Longht(int16_t v) {
  longht_ = v;
  try {
    ApplyWidth(longht_);
  } catch (const std::exception&) {
    Message("Columna no valida key:" + Key);
  }
}

void clsColumn::TypeData(TIPOC v) {
  type_data_ = v;
  try {
    const std::shared_ptr<FlexGrid> grid = Grid();
    grid->SetColAlignment(ColumnIndex(), type_data_ == ctvNUMBER ? kAlignRightTop : kAlignLeftTop);
  } catch (const std::exception&) {
    Message("Columna no v\xC3\xA1lida Key:" + Key);
  }
}

void clsColumn::Visible(bool v) {
  visible_ = v;
  try {
    if (visible_) {
      ApplyWidth(longht_);
    } else {
      const std::shared_ptr<FlexGrid> grid = Grid();
      grid->SetColWidth(ColumnIndex(), 0);
    }
  } catch (const std::exception& e) {
    Message(std::string(e.what()) + " Columna Key:" + Key);
  }
}

}  // namespace trovel
