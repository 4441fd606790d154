// DateTest: the host's test of whether a text is a date. It accepts every
// existing calendar date written day-month-year with "-" or "/" between the
// parts (a two-digit year below 30 is 20xx, otherwise 19xx) and refuses
// dates that do not exist (31-02-01, month 13, day 0).
#pragma once

#include <string>

namespace trovel {

struct DateTest {
  static bool IsDate(const std::string& text);
  static bool IsLeapYear(int year);
  static int DaysInMonth(int year, int month);  // 0 for a month outside 1..12
};

}  // namespace trovel
