// DateTest: the rules of the calendar that the host, its values and both
// search controls share: which dates exist, the host's test of whether a
// text is a date, and the swap of a typed date's day and month.
//
// IsDate accepts every existing calendar date written day-month-year with
// "-" or "/" between the parts (a two-digit year below 30 is 20xx,
// otherwise 19xx) and refuses dates that do not exist (31-02-01, month 13,
// day 0).
#pragma once

#include <string>
#include <string_view>

#include "platform/DateTime.h"

namespace trovel {

struct DateTest {
  // Which years have a 29 February: the calendar's rule, or every fourth
  // year, which the in-grid date check of the filter row applies.
  enum class LeapYears { kGregorian, kEveryFourth };

  static bool IsDate(const std::string& text);
  static bool IsLeapYear(int year, LeapYears rule = LeapYears::kGregorian);
  // 0 for a month outside 1..12.
  static int DaysInMonth(int year, int month, LeapYears rule = LeapYears::kGregorian);
  // Whether d names an existing day and a time of day from 00:00:00 to
  // 23:59:59.
  static bool IsValid(const DateTime& d);
  // The text laid out "dd/mm/yyyy" with day and month swapped (or back):
  // characters 4-5, "/", characters 1-2, "/", characters 7 on. Parts beyond
  // the end of a short text are empty.
  static std::string SwapDayAndMonth(const std::string& text);
  // Reads a date as the controls write it between their date delimiters:
  // month first (m/d/yyyy, "/" or "-" between the parts), or year first
  // when the first part has four digits (yyyy-mm-dd). A year of one or two
  // digits is 20xx below 30, otherwise 19xx. True, with `out` set to that
  // day at midnight, when the text names a day that exists.
  static bool ReadMonthFirst(std::string_view text, DateTime& out);
};

}  // namespace trovel
