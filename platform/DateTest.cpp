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
