#include "platform/Format.h"

#include <memory>
#include <optional>

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
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

// One element of a date picture: a code that writes a part of the date, or
// literal text. A picture is read into elements once; each value then only
// writes them out.
struct DatePart {
  enum Code {
    kLiteral, kDay, kDay2, kDayName, kDayShort, kShortDate, kWeekday, kWeekOfYear, kQuarter, kYear4, kYear2,
    kDayOfYear, kMonthName, kMonthShort, kMonth, kMonth2, kMinute, kMinute2, kHour, kHour2, kSecond, kSecond2,
    kHalfDay, kHalfDayLetter
  };
  Code code;
  bool upper = false;    // kHalfDay, kHalfDayLetter: "AM" rather than "am"
  std::string literal;   // kLiteral
};

// `f` is a date picture whose name, if it had one, is already resolved.
std::vector<DatePart> ReadDatePicture(const std::string& f) {
  std::vector<DatePart> parts;
  auto code = [&parts](DatePart::Code c) { parts.push_back({c, false, {}}); };
  auto literal = [&parts](std::string_view text) {
    if (parts.empty() || parts.back().code != DatePart::kLiteral) parts.push_back({DatePart::kLiteral, false, {}});
    parts.back().literal += text;
  };
  const bool twelve_hour = IsTwelveHour(f);
  bool after_hour = false;
  for (size_t i = 0; i < f.size();) {
    if (f[i] == '\\' && i + 1 < f.size()) {
      literal(std::string_view(f).substr(i + 1, 1));
      i += 2;
      continue;
    }
    if (f[i] == '"') {
      size_t end = f.find('"', i + 1);
      if (end == std::string::npos) end = f.size();
      literal(std::string_view(f).substr(i + 1, end - i - 1));
      i = end + 1;
      continue;
    }
    // Only a twelve-hour picture holds a marker.
    const size_t marker = !twelve_hour                        ? 0
                          : StartsWithNoCase(f, i, "am/pm") ? 5
                          : StartsWithNoCase(f, i, "a/p")   ? 3
                                                            : 0;
    if (marker) {
      // In the letter case of the marker's first letter.
      parts.push_back({marker == 5 ? DatePart::kHalfDay : DatePart::kHalfDayLetter,
                       std::isupper(static_cast<unsigned char>(f[i])) != 0, {}});
      i += marker;
      continue;
    }
    char c = AsciiLower(f[i]);
    size_t n = RunLength(f, i, c);
    switch (c) {
      case 'd':
        if (n >= 5) code(DatePart::kShortDate), n = 5;
        else if (n == 4) code(DatePart::kDayName);
        else if (n == 3) code(DatePart::kDayShort);
        else code(n == 1 ? DatePart::kDay : DatePart::kDay2);
        i += n;
        break;
      case 'w':
        if (n >= 2) code(DatePart::kWeekOfYear), n = 2;
        else code(DatePart::kWeekday);
        i += n;
        break;
      case 'q': code(DatePart::kQuarter); i += 1; break;
      case 'y':
        if (n >= 4) code(DatePart::kYear4), i += 4;
        else if (n >= 2) code(DatePart::kYear2), i += 2;
        else code(DatePart::kDayOfYear), i += 1;
        break;
      case 'm':
        if (n >= 3 && !after_hour) {
          code(n == 3 ? DatePart::kMonthShort : DatePart::kMonthName);
          i += std::min<size_t>(n, 4);
          break;
        }
        // "m" right after an hour means minutes.
        if (after_hour) code(n == 1 ? DatePart::kMinute : DatePart::kMinute2);
        else code(n == 1 ? DatePart::kMonth : DatePart::kMonth2);
        i += std::min<size_t>(n, 2);
        after_hour = false;
        break;
      case 'h': code(n == 1 ? DatePart::kHour : DatePart::kHour2); i += std::min<size_t>(n, 2); after_hour = true; break;
      case 'n': code(n == 1 ? DatePart::kMinute : DatePart::kMinute2); i += std::min<size_t>(n, 2); after_hour = false; break;
      case 's': code(n == 1 ? DatePart::kSecond : DatePart::kSecond2); i += std::min<size_t>(n, 2); break;
      default: literal(std::string_view(f).substr(i++, 1)); break;
    }
  }
  return parts;
}

// Appends `value` as Padded(value, width) writes it.
void AppendNumber(std::string& out, int value, int width = 1) {
  if (value >= 0 && value < 100 && width <= 2) {  // days, months, hours, minutes: no text of their own
    if (value >= 10 || width == 2) out += static_cast<char>('0' + value / 10);
    out += static_cast<char>('0' + value % 10);
    return;
  }
  out += Padded(value, width);
}

void WriteDate(const DateTime& d, const std::vector<DatePart>& parts, bool twelve_hour, std::string& out) {
  const int hour = twelve_hour ? (d.hour % 12 == 0 ? 12 : d.hour % 12) : d.hour;
  for (const DatePart& part : parts) {
    switch (part.code) {
      case DatePart::kLiteral: out += part.literal; break;
      case DatePart::kDay: AppendNumber(out, d.day); break;
      case DatePart::kDay2: AppendNumber(out, d.day, 2); break;
      case DatePart::kDayName: out += kDayNames[Weekday(d) - 1]; break;
      case DatePart::kDayShort: out += kDayShort[Weekday(d) - 1]; break;
      case DatePart::kShortDate:
        AppendNumber(out, d.day, 2), out += '/', AppendNumber(out, d.month, 2), out += '/';
        AppendNumber(out, d.year, 4);
        break;
      case DatePart::kWeekday: AppendNumber(out, Weekday(d)); break;
      case DatePart::kWeekOfYear: AppendNumber(out, WeekOfYear(d)); break;
      case DatePart::kQuarter: AppendNumber(out, (d.month - 1) / 3 + 1); break;
      case DatePart::kYear4: AppendNumber(out, d.year, 4); break;
      case DatePart::kYear2: AppendNumber(out, d.year % 100, 2); break;
      case DatePart::kDayOfYear: AppendNumber(out, DayOfYear(d)); break;
      case DatePart::kMonthName: out += MonthName(kMonthNames, d.month); break;
      case DatePart::kMonthShort: out += MonthName(kMonthShort, d.month); break;
      case DatePart::kMonth: AppendNumber(out, d.month); break;
      case DatePart::kMonth2: AppendNumber(out, d.month, 2); break;
      case DatePart::kMinute: AppendNumber(out, d.minute); break;
      case DatePart::kMinute2: AppendNumber(out, d.minute, 2); break;
      case DatePart::kHour: AppendNumber(out, hour); break;
      case DatePart::kHour2: AppendNumber(out, hour, 2); break;
      case DatePart::kSecond: AppendNumber(out, d.second); break;
      case DatePart::kSecond2: AppendNumber(out, d.second, 2); break;
      case DatePart::kHalfDay:
      case DatePart::kHalfDayLetter: {
        static const std::string_view kHalves[] = {"am", "AM", "pm", "PM"};
        const std::string_view half = kHalves[(d.hour < 12 ? 0 : 2) + (part.upper ? 1 : 0)];
        out += part.code == DatePart::kHalfDay ? half : half.substr(0, 1);
        break;
      }
    }
  }
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

// A number as decimal digits: 0.D1D2...Dn times 10^point, with neither a
// first nor a last digit 0; zero has no digits. A picture rounds and writes
// these digits, so that a Double and a Decimal show the same digits for the
// same value, and a binary fraction never decides a rounding.
struct NumberDigits {
  // A Decimal's mantissa has at most 29 digits, a Double keeps 15.
  char digits[32];
  int count = 0;
  int point = 0;
  bool negative = false;
};

void DropTrailingZeros(NumberDigits& n) {
  while (n.count > 0 && n.digits[n.count - 1] == '0') --n.count;
  if (n.count == 0) n.point = 0;
}

// Rounds `n` half away from zero to `decimals` digits after the point.
void RoundTo(NumberDigits& n, int decimals) {
  const long keep = static_cast<long>(n.point) + decimals;  // digits that stay
  if (keep >= n.count) return;
  if (keep < 0) {  // below half a unit of the last place kept
    n.count = 0;
    n.point = 0;
    return;
  }
  const bool up = n.digits[keep] >= '5';
  n.count = static_cast<int>(keep);
  if (up) {
    int k = n.count - 1;
    while (k >= 0 && n.digits[k] == '9') --k;
    if (k < 0) {  // 9.99 -> 10.0
      n.digits[0] = '1';
      n.count = 1;
      ++n.point;
    } else {
      ++n.digits[k];
      n.count = k + 1;
    }
  }
  DropTrailingZeros(n);
}

// The digits that the runtime keeps of a Double: 15 significant digits,
// rounded to the nearest; beyond them a picture shows zeros, not the binary
// value's further digits (123456789012345678 shows as 123456789012346000).
//
// They come from the shortest digits that read back as `v` (at most 17),
// which are much cheaper to find than a rounding of the exact binary value.
// Up to 15 of them are the rounding's digits themselves (see NumberText in
// Variant.cpp). Of 16 or 17, rounding them to 15 gives what rounding the
// exact value gives: a 16-digit halfway point between the two candidates
// cannot lie strictly between the value and its shortest digits (it would be
// shorter, or as short and nearer, and so chosen instead), so both round the
// same way; only when the shortest digits are that halfway point themselves
// (16 digits ending in 5) is the side of the exact value unknown, and the
// exact value is rounded instead. A subnormal value has fewer bits than this
// argument needs and is rounded exactly too.
// REQUIRES: `v` is finite.
NumberDigits DoubleDigits(double v) {
  NumberDigits n;
  n.negative = v < 0;
  if (v == 0) return n;
  const double magnitude = std::fabs(v);
  char buf[40];  // d.dddddddddddddddde+ddd at most
  auto read = [&n, &buf](const char* end) {  // [d[.ddd]]e(+|-)xx into n
    const std::string_view text(buf, static_cast<size_t>(end - buf));
    const size_t e = text.find('e');
    n.count = 0;
    for (size_t k = 0; k < e; ++k)
      if (text[k] != '.') n.digits[n.count++] = text[k];
    int exponent = 0;
    const size_t power = e + 1 + (text[e + 1] == '+' ? 1 : 0);
    std::from_chars(text.data() + power, text.data() + text.size(), exponent);
    n.point = exponent + 1;
  };
  read(std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific).ptr);
  const bool halfway = n.count == 16 && n.digits[15] == '5';
  if (magnitude < std::numeric_limits<double>::min() || halfway)
    read(std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14).ptr);
  else if (n.count > 15)
    RoundTo(n, 15 - n.point);
  DropTrailingZeros(n);
  return n;
}

NumberDigits DecimalDigits(const Decimal& d) {
  NumberDigits n;
  static_assert(sizeof n.digits >= Decimal::kMantissaDigitsRoom);
  n.count = d.MantissaDigits(n.digits);
  n.point = n.count - d.Scale();
  n.negative = d.IsNegative();
  DropTrailingZeros(n);
  return n;
}

// The digit of `n` at `position` (0 is the first digit of its digits,
// negative ones are the zeros between the point and them).
char DigitAt(const NumberDigits& n, long position) {
  return position >= 0 && position < n.count ? n.digits[position] : '0';
}

// Writes `n`, already rounded to the picture's decimals, by the picture.
std::string WriteNumber(const NumberDigits& n, const NumberPicture& p) {
  const size_t whole_length = n.point > 0 ? static_cast<size_t>(n.point) : 0;  // "" for a zero part
  const size_t whole_pad = whole_length < static_cast<size_t>(p.int_zeros) ? p.int_zeros - whole_length : 0;
  // The fraction's digits up to its last one that is not 0, at least as
  // many as the picture's zeros there ask for.
  size_t frac_length = n.count > n.point ? static_cast<size_t>(n.count - n.point) : 0;
  if (frac_length < static_cast<size_t>(p.frac_zeros)) frac_length = static_cast<size_t>(p.frac_zeros);

  std::string out;
  out.reserve(p.prefix.size() + p.suffix.size() + whole_pad + whole_length * 4 / 3 + frac_length + 3);
  if (n.negative && n.count > 0) out += '-';
  out += p.prefix;
  // The whole part, a thousands separator before each group of three from the right.
  const size_t whole_total = whole_pad + whole_length;
  for (size_t k = 0; k < whole_total; ++k) {
    if (p.thousands && k > 0 && (whole_total - k) % 3 == 0) out += ',';
    out += k < whole_pad ? '0' : DigitAt(n, static_cast<long>(k - whole_pad));
  }
  if (p.has_point && frac_length > 0) {
    out += '.';
    for (size_t k = 0; k < frac_length; ++k) out += DigitAt(n, n.point + static_cast<long>(k));
  } else if (p.has_point && p.frac_digits == 0 && p.int_digits == 0) {
    out += '.';
  }
  out += p.suffix;
  return out;
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
  std::vector<DatePart> date_parts;     // `picture` read as a date picture
  bool twelve_hour = false;

  std::string FormatDate(const DateTime& d) const {
    std::string out;
    WriteDate(d, date_parts, twelve_hour, out);
    return out;
  }

  // The section for a value: the negative one and the zero one where the
  // picture has them and they are not empty, else the first.
  size_t Section(bool negative, bool zero) const {
    if (negative && sections.size() >= 2 && !sections[1].empty()) return 1;
    if (zero && sections.size() >= 3 && !sections[2].empty()) return 2;
    return 0;
  }

  std::string FormatDouble(double v) const {
    const size_t section = Section(v < 0, v == 0);
    const NumberPicture& p = numbers[section];
    const double shown = p.percent ? v * 100 : v;
    // Infinity, NaN and numbers too large for the picture's digits have no
    // place in it: they come out as plain text, as Str writes them.
    if (!std::isfinite(shown)) return Variant(v).ToString();
    NumberDigits n = DoubleDigits(shown);
    if (section == 1) n.negative = false;  // the section writes its own sign
    RoundTo(n, p.frac_digits);
    if (n.count > 0 && n.point + p.frac_digits > 300) return Variant(v).ToString();
    return WriteNumber(n, p);
  }

  // From the exact digits, never through a Double.
  std::string FormatDecimal(const Decimal& d) const {
    const size_t section = Section(d.IsNegative(), d.IsZero());
    const NumberPicture& p = numbers[section];
    NumberDigits n = DecimalDigits(d);
    if (p.percent && n.count > 0) n.point += 2;
    if (section == 1) n.negative = false;
    RoundTo(n, p.frac_digits);
    return WriteNumber(n, p);
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
  const std::string& date_picture = date_named ? *date_named : c->picture;
  c->date_parts = ReadDatePicture(date_picture);
  c->twelve_hour = IsTwelveHour(date_picture);
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
  if (value.type() == Variant::Type::Date) return c.FormatDate(value.ToDate());
  if (const Decimal* d = value.DecimalValue()) return c.has_digit_codes ? c.FormatDecimal(*d) : value.ToString();
  try {
    if (value.IsNumeric() || value.type() == Variant::Type::String) {
      double d = value.ToDouble();
      if (c.has_digit_codes) return c.FormatDouble(d);
    }
  } catch (const Error&) {
    // not a number: try it as a date below
  }
  try {
    if (value.type() == Variant::Type::String) return c.FormatDate(value.ToDate());
  } catch (const Error&) {
  }
  return value.ToString();
}

std::string Format(const Variant& value, const std::string& picture) {
  // A caller that formats many values usually passes one picture again and
  // again: the last picture read on this thread is kept.
  thread_local std::string last_picture;
  thread_local std::optional<FormatPicture> last;
  if (!last || picture != last_picture) {
    last.emplace(picture);
    last_picture = picture;
  }
  return last->Apply(value);
}

}  // namespace trovel
