// DateTime: a calendar date with a time of day, second resolution.
#pragma once

#include <compare>

namespace trovel {

struct DateTime {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;

  friend bool operator==(const DateTime&, const DateTime&) = default;
  friend auto operator<=>(const DateTime&, const DateTime&) = default;
};

}  // namespace trovel
