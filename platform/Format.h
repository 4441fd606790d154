// Format: the runtime's formatting of a value by a picture text.
//
// Dates (a Date, or text that reads as one): d, dd, m, mm, yy, yyyy, h, hh,
// n, nn, s, ss, case-insensitive; "m" or "mm" right after an hour means
// minutes; every other character passes through.
// Numbers (a number, or text that reads as one): 0 (digit, shown always),
// # (digit, shown when significant), "." decimal point, "," thousands
// separator between digit codes, "%" multiplies by 100; other characters,
// a character after "\" and text in double quotes pass through.
// An empty picture gives the value's plain text; Null gives "".
#pragma once

#include <string>

#include "platform/Variant.h"

namespace trovel {

std::string Format(const Variant& value, const std::string& picture);

}  // namespace trovel
