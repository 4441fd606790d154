#include "platform/Format.h"

#include <memory>

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <vector>

#include "platform/Error.h"
#include "platform/FormatPicture.h"

namespace trovel {
namespace {

// `value` written at least `width` characters wide, the minus sign included,
// with zeros after the sign: printf's "%0*d".
std::string Padded(int value, int width) {
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, value < 0 ? -static_cast<long>(value) : value).ptr;
  const size_t length = static_cast<size_t>(end - digits) + (value < 0 ? 1 : 0);
  std::string out;
  if (value < 0) out += '-';
  if (length < static_cast<size_t>(width)) out.append(static_cast<size_t>(width) - length, '0');
  out.append(digits, end);
  return out;
}

// Picture codes are ASCII letters: no locale decides their case.
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

size_t RunLength(const std::string& f, size_t i, char lower) {
  size_t n = 0;
  while (i + n < f.size() && AsciiLower(f[i + n]) == lower) ++n;
  return n;
}

const char* const kMonthNames[] = {"enero", "febrero", "marzo",     "abril",   "mayo",      "junio",
                                   "julio", "agosto",  "septiembre", "octubre", "noviembre", "diciembre"};
const char* const kMonthShort[] = {"ene", "feb", "mar", "abr", "may", "jun",
                                   "jul", "ago", "sep", "oct", "nov", "dic"};
const char* const kDayNames[] = {"domingo", "lunes", "martes", "miércoles", "jueves", "viernes", "sábado"};
const char* const kDayShort[] = {"dom", "lun", "mar", "mié", "jue", "vie", "sáb"};

const char* MonthName(const char* const (&names)[12], int month) {
  return month >= 1 && month <= 12 ? names[month - 1] : "";
}

// Days since 1 January 1970 of a calendar date (proleptic Gregorian).
long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

// 1 for Sunday .. 7 for Saturday.
int Weekday(const DateTime& d) {
  const long days = DaysFromCivil(d.year, d.month, d.day);  // 1970-01-01 was a Thursday
  return static_cast<int>(((days + 4) % 7 + 7) % 7) + 1;
}

int DayOfYear(const DateTime& d) {
  return static_cast<int>(DaysFromCivil(d.year, d.month, d.day) - DaysFromCivil(d.year, 1, 1)) + 1;
}

// Weeks start on Sunday and week 1 is the one holding 1 January.
int WeekOfYear(const DateTime& d) {
  const int jan1 = Weekday(DateTime{d.year, 1, 1, 0, 0, 0});
  return (DayOfYear(d) - 1 + jan1 - 1) / 7 + 1;
}

bool StartsWithNoCase(const std::string& f, size_t i, const char* word) {
  for (size_t k = 0; word[k]; ++k)
    if (i + k >= f.size() || AsciiLower(f[i + k]) != word[k]) return false;
  return true;
}

using NamedPictures = std::pair<const char*, std::string>;

// The picture that `f` names among `named` (lower-case names, compared
// without regard to letter case), or nullptr.
template <size_t N>
const std::string* NamedPicture(const std::string& f, const NamedPictures (&named)[N]) {
  for (const auto& [name, picture] : named)
    if (StartsWithNoCase(f, 0, name) && f.size() == std::char_traits<char>::length(name)) return &picture;
  return nullptr;
}

const std::string* NamedDatePicture(const std::string& f) {
  static const NamedPictures named[] = {
      {"short date", "dd/mm/yyyy"},       {"medium date", "dd-mmm-yy"},
      {"long date", "dddd, d \\de mmmm \\de yyyy"}, {"short time", "hh:nn"},
      {"medium time", "hh:nn AM/PM"},    {"long time", "hh:nn:ss"},
      {"general date", "dd/mm/yyyy hh:nn:ss"}};
  return NamedPicture(f, named);
}

// An AM/PM or A/P marker anywhere in a date picture puts the hours on a
// 12-hour clock.
bool IsTwelveHour(const std::string& f) {
  for (size_t i = 0; i < f.size(); ++i)
    if (StartsWithNoCase(f, i, "am/pm") || StartsWithNoCase(f, i, "a/p")) return true;
  return false;
}

// `f` is a date picture whose name, if it had one, is already resolved.
std::string FormatDate(const DateTime& d, const std::string& f, bool twelve_hour) {
  const int hour = twelve_hour ? (d.hour % 12 == 0 ? 12 : d.hour % 12) : d.hour;
  std::string out;
  bool after_hour = false;
  for (size_t i = 0; i < f.size();) {
    if (f[i] == '\\' && i + 1 < f.size()) {
      out += f[i + 1];
      i += 2;
      continue;
    }
    if (f[i] == '"') {
      size_t end = f.find('"', i + 1);
      if (end == std::string::npos) end = f.size();
      out += f.substr(i + 1, end - i - 1);
      i = end + 1;
      continue;
    }
    // Only a twelve-hour picture holds a marker.
    const size_t marker = !twelve_hour                        ? 0
                          : StartsWithNoCase(f, i, "am/pm") ? 5
                          : StartsWithNoCase(f, i, "a/p")   ? 3
                                                            : 0;
    if (marker) {
      // "AM"/"PM" for AM/PM, "A"/"P" for A/P, in the letter case of the
      // marker's first letter.
      static const std::string_view kHalves[] = {"am", "AM", "pm", "PM"};
      const bool upper = std::isupper(static_cast<unsigned char>(f[i]));
      const std::string_view half = kHalves[(d.hour < 12 ? 0 : 2) + (upper ? 1 : 0)];
      out += marker == 5 ? half : half.substr(0, 1);
      i += marker;
      continue;
    }
    char c = AsciiLower(f[i]);
    size_t n = RunLength(f, i, c);
    switch (c) {
      case 'd':
        if (n >= 5) out += FormatDate(d, "dd/mm/yyyy", false), n = 5;
        else if (n == 4) out += kDayNames[Weekday(d) - 1];
        else if (n == 3) out += kDayShort[Weekday(d) - 1];
        else out += n == 1 ? std::to_string(d.day) : Padded(d.day, 2);
        i += n;
        break;
      case 'w':
        if (n >= 2) out += std::to_string(WeekOfYear(d)), n = 2;
        else out += std::to_string(Weekday(d));
        i += n;
        break;
      case 'q': out += std::to_string((d.month - 1) / 3 + 1); i += 1; break;
      case 'y':
        if (n >= 4) out += Padded(d.year, 4), i += 4;
        else if (n >= 2) out += Padded(d.year % 100, 2), i += 2;
        else out += std::to_string(DayOfYear(d)), i += 1;
        break;
      case 'm': {
        if (n >= 3 && !after_hour) {
          out += n == 3 ? MonthName(kMonthShort, d.month) : MonthName(kMonthNames, d.month);
          i += std::min<size_t>(n, 4);
          break;
        }
        int v = after_hour ? d.minute : d.month;
        out += n == 1 ? std::to_string(v) : Padded(v, 2);
        i += std::min<size_t>(n, 2);
        after_hour = false;
        break;
      }
      case 'h': out += n == 1 ? std::to_string(hour) : Padded(hour, 2); i += std::min<size_t>(n, 2); after_hour = true; break;
      case 'n': out += n == 1 ? std::to_string(d.minute) : Padded(d.minute, 2); i += std::min<size_t>(n, 2); after_hour = false; break;
      case 's': out += n == 1 ? std::to_string(d.second) : Padded(d.second, 2); i += std::min<size_t>(n, 2); break;
      default: out += f[i++]; break;
    }
  }
  return out;
}

// One element of a number picture: a digit code or literal text.
struct NumberPicture {
  int int_zeros = 0, int_digits = 0;  // digit codes before the point (zeros are '0')
  int frac_zeros = 0, frac_digits = 0;
  bool thousands = false, percent = false, has_point = false;
  std::string prefix, suffix;  // literal text around the digits
};

NumberPicture ParsePicture(const std::string& f) {
  NumberPicture p;
  bool seen_digit = false, done_digits = false;
  for (size_t i = 0; i < f.size(); ++i) {
    char c = f[i];
    std::string literal;
    if (c == '\\' && i + 1 < f.size()) {
      literal = f.substr(++i, 1);
    } else if (c == '"') {
      size_t end = f.find('"', i + 1);
      if (end == std::string::npos) end = f.size();
      literal = f.substr(i + 1, end - i - 1);
      i = end;
    } else if ((c == '0' || c == '#') && !done_digits) {
      seen_digit = true;
      if (p.has_point) {
        ++p.frac_digits;
        if (c == '0') p.frac_zeros = p.frac_digits;
      } else {
        ++p.int_digits;
        if (c == '0') ++p.int_zeros;
      }
      continue;
    } else if (c == '.' && !done_digits && !p.has_point) {
      p.has_point = true;
      seen_digit = true;
      continue;
    } else if (c == ',' && seen_digit && !done_digits) {
      p.thousands = true;
      continue;
    } else if (c == '%') {
      p.percent = true;
      literal = "%";
    } else {
      literal = std::string(1, c);
    }
    if (seen_digit) done_digits = true;
    (seen_digit ? p.suffix : p.prefix) += literal;
  }
  return p;
}

std::string FormatNumber(double v, const NumberPicture& p) {
  const double given = v;
  if (p.percent) v *= 100;
  bool negative = v < 0;
  static const double kPowersOfTen[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
  double scale = p.frac_digits < 9 ? kPowersOfTen[p.frac_digits] : std::pow(10.0, p.frac_digits);
  double rounded = std::floor(std::fabs(v) * scale + 0.5 + 1e-9);
  // Infinity, NaN and numbers too large for the picture's digits have no
  // place in it: they come out as plain text, as Str writes them.
  if (!std::isfinite(rounded) || rounded >= 1e300) return Variant(given).ToString();
  // A whole number below 1e300 has at most 301 digits.
  char buf[320];
  std::string all(buf, std::to_chars(buf, buf + sizeof buf, rounded, std::chars_format::fixed, 0).ptr);
  if (static_cast<int>(all.size()) <= p.frac_digits) all.insert(0, p.frac_digits + 1 - all.size(), '0');
  std::string whole = all.substr(0, all.size() - p.frac_digits);
  std::string frac = all.substr(all.size() - p.frac_digits);
  while (static_cast<int>(frac.size()) > p.frac_zeros && !frac.empty() && frac.back() == '0') frac.pop_back();
  if (whole == "0") whole = "";
  if (static_cast<int>(whole.size()) < p.int_zeros) whole.insert(0, p.int_zeros - whole.size(), '0');
  if (p.thousands) {
    for (int k = static_cast<int>(whole.size()) - 3; k > 0; k -= 3) whole.insert(static_cast<size_t>(k), ",");
  }
  std::string digits = whole;
  if (p.has_point && !frac.empty()) digits += "." + frac;
  else if (p.has_point && p.frac_digits == 0 && p.int_digits == 0) digits += ".";
  bool is_zero = rounded == 0;
  return (negative && !is_zero ? "-" : "") + p.prefix + digits + p.suffix;
}

// The sections of a number picture, split at ";" outside quotes: for
// positive values, negative values, zero and Null.
std::vector<std::string> Sections(const std::string& f) {
  std::vector<std::string> sections(1);
  bool quoted = false;
  for (size_t i = 0; i < f.size(); ++i) {
    if (f[i] == '"') quoted = !quoted;
    if (f[i] == '\\' && i + 1 < f.size()) {
      sections.back() += f.substr(i++, 2);
      continue;
    }
    if (f[i] == ';' && !quoted) {
      sections.emplace_back();
      continue;
    }
    sections.back() += f[i];
  }
  return sections;
}

const std::string* NamedNumberPicture(const std::string& f) {
  static const NamedPictures named[] = {{"fixed", "0.00"}, {"standard", "#,##0.00"}, {"percent", "0.00%"}};
  return NamedPicture(f, named);
}

}  // namespace

// A picture read once: its named form resolved, its sections split and
// parsed, so that formatting a value walks no text of the picture again but
// the date codes.
struct FormatPicture::Compiled {
  std::string picture;                 // the number picture, names resolved
  std::vector<std::string> sections;   // of `picture`, split at ";"
  std::vector<NumberPicture> numbers;  // one per section
  bool has_digit_codes = false;        // several sections, or a "0" or "#"
  std::string date_picture;            // `picture` with a date name resolved
  bool twelve_hour = false;

  std::string FormatSections(double v) const {
    if (v < 0 && sections.size() >= 2 && !sections[1].empty()) return FormatNumber(-v, numbers[1]);
    if (v == 0 && sections.size() >= 3 && !sections[2].empty()) return FormatNumber(0, numbers[2]);
    return FormatNumber(v, numbers[0]);
  }
};

FormatPicture::FormatPicture(const std::string& picture_text) {
  auto c = std::make_unique<Compiled>();
  const std::string* named = NamedNumberPicture(picture_text);
  c->picture = named ? *named : picture_text;
  c->sections = Sections(c->picture);
  for (const std::string& section : c->sections) c->numbers.push_back(ParsePicture(section));
  c->has_digit_codes = c->sections.size() > 1 || c->picture.find_first_of("0#") != std::string::npos;
  const std::string* date_named = NamedDatePicture(c->picture);
  c->date_picture = date_named ? *date_named : c->picture;
  c->twelve_hour = IsTwelveHour(c->date_picture);
  compiled_ = std::move(c);
}

FormatPicture::~FormatPicture() = default;
FormatPicture::FormatPicture(FormatPicture&&) noexcept = default;
FormatPicture& FormatPicture::operator=(FormatPicture&&) noexcept = default;

std::string FormatPicture::Apply(const Variant& value) const {
  const Compiled& c = *compiled_;
  if (value.IsNull()) {
    if (c.numbers.size() < 4) return "";
    return c.numbers[3].prefix + c.numbers[3].suffix;
  }
  if (c.picture.empty()) return value.ToString();
  if (value.type() == Variant::Type::Date) return FormatDate(value.ToDate(), c.date_picture, c.twelve_hour);
  try {
    if (value.IsNumeric() || value.type() == Variant::Type::String) {
      double d = value.ToDouble();
      if (c.has_digit_codes) return c.FormatSections(d);
    }
  } catch (const Error&) {
    // not a number: try it as a date below
  }
  try {
    if (value.type() == Variant::Type::String) return FormatDate(value.ToDate(), c.date_picture, c.twelve_hour);
  } catch (const Error&) {
  }
  return value.ToString();
}

std::string Format(const Variant& value, const std::string& picture) { return FormatPicture(picture).Apply(value); }

}  // namespace trovel
