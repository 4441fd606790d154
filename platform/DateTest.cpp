#include "platform/DateTest.h"

#include <cctype>

#include "platform/Text.h"

namespace trovel {
namespace {

// Reads 1..max_digits digits at s[i]; false when none.
bool ReadNumber(const std::string& s, size_t& i, size_t max_digits, int& value, size_t& digits) {
  value = 0, digits = 0;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && digits < max_digits) {
    value = value * 10 + (s[i] - '0');
    ++i, ++digits;
  }
  return digits > 0;
}

}  // namespace

bool DateTest::IsLeapYear(int y, LeapYears rule) {
  if (rule == LeapYears::kEveryFourth) return y % 4 == 0;
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DateTest::DaysInMonth(int year, int month, LeapYears rule) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return kDays[month - 1] + (month == 2 && IsLeapYear(year, rule) ? 1 : 0);
}

bool DateTest::IsValid(const DateTime& d) {
  return d.day >= 1 && d.day <= DaysInMonth(d.year, d.month) && d.hour >= 0 && d.hour < 24 && d.minute >= 0 &&
         d.minute < 60 && d.second >= 0 && d.second < 60;
}

std::string DateTest::SwapDayAndMonth(const std::string& text) {
  std::string swapped = Text::Mid(text, 4, 2);
  swapped += '/';
  swapped += Text::Mid(text, 1, 2);
  swapped += '/';
  swapped += Text::Mid(text, 7);
  return swapped;
}

bool DateTest::IsDate(const std::string& text) {
  const std::string s = Text::Trim(text, Text::Blanks::kSpaces);
  if (s.empty()) return false;
  size_t i = 0, digits;
  int day, month, year;
  if (!ReadNumber(s, i, 2, day, digits)) return false;
  if (i >= s.size() || (s[i] != '-' && s[i] != '/')) return false;
  char sep = s[i++];
  if (!ReadNumber(s, i, 2, month, digits)) return false;
  if (i >= s.size() || s[i++] != sep) return false;
  if (!ReadNumber(s, i, 4, year, digits) || i != s.size() || digits == 3) return false;
  if (digits <= 2) year += year < 30 ? 2000 : 1900;
  return day >= 1 && day <= DaysInMonth(year, month);
}

}  // namespace trovel

namespace trovel {

namespace {

// Reads the digits of `part` into `value`; false when it is empty, longer
// than `max_digits` or holds anything but digits.
bool ReadDigits(std::string_view part, size_t max_digits, int& value) {
  if (part.empty() || part.size() > max_digits) return false;
  value = 0;
  for (char c : part) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

}  // namespace

bool DateTest::ReadMonthFirst(std::string_view text, DateTime& out) {
  const char sep = text.find('/') != std::string_view::npos ? '/' : '-';
  const size_t a = text.find(sep);
  const size_t b = a == std::string_view::npos ? a : text.find(sep, a + 1);
  if (b == std::string_view::npos || text.find(sep, b + 1) != std::string_view::npos) return false;
  const std::string_view p1 = text.substr(0, a), p2 = text.substr(a + 1, b - a - 1), p3 = text.substr(b + 1);
  int y = 0, m = 0, d = 0;
  const bool year_first = p1.size() == 4;
  const bool ok = year_first ? ReadDigits(p1, 4, y) && ReadDigits(p2, 2, m) && ReadDigits(p3, 2, d)
                             : ReadDigits(p1, 2, m) && ReadDigits(p2, 2, d) && ReadDigits(p3, 4, y);
  if (!ok) return false;
  if (!year_first && p3.size() <= 2) y += y < 30 ? 2000 : 1900;
  if (y < 1 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) return false;
  out = DateTime{y, m, d, 0, 0, 0};
  return true;
}

}  // namespace trovel
