// Format: the runtime's formatting of a value by a picture text.
//
// Dates (a Date, or text that reads as one), codes case-insensitive:
//   d dd (day), ddd dddd (weekday name), ddddd (dd/mm/yyyy), w (weekday,
//   1 = Sunday), ww (week of the year: weeks start on Sunday, week 1 holds
//   1 January), m mm (month), mmm mmmm (month name), q (quarter), y (day of
//   the year), yy yyyy, h hh, n nn, s ss; "m" or "mm" right after an hour
//   means minutes; AM/PM, am/pm, A/P, a/p put the hours on a 12-hour clock.
//   Names are Spanish. The named pictures Short Date, Medium Date, Long
//   Date, Short Time, Medium Time, Long Time and General Date stand for
//   their usual patterns.
// Numbers (a number, or text that reads as one): 0 (digit, shown always),
// # (digit, shown when significant), "." decimal point, "," thousands
// separator between digit codes, "%" multiplies by 100; up to four
// sections split by ";" for positive, negative, zero and Null values; the
// named pictures Fixed, Standard and Percent. A number is written from its
// decimal digits, rounded half away from zero to the picture's decimals: a
// Decimal from all its exact digits, a Double (and text) from the 15
// significant digits the runtime keeps of it, with zeros after them
// (123456789012345678 by "#,##0" is "123,456,789,012,346,000").
// In both, a character after "\" and text in double quotes pass through,
// as does every other character.
// An empty picture gives the value's plain text; Null gives "" unless a
// fourth section gives its text.
#pragma once

#include <string>

#include "platform/Variant.h"

namespace trovel {

std::string Format(const Variant& value, const std::string& picture);

}  // namespace trovel
