// basFuncion: functions shared by the filter boxes of ctlTrovel.
#pragma once

#include <string>

#include "platform/Host.h"
#include "platform/Variant.h"

namespace trovel::basFuncion {

// Checks a date typed day first (dd/mm/yyyy). Answers a Variant holding
// true or false; when false it has shown the user the date message box on
// `host` itself. An eight-character entry (a two-digit year, or digits
// without separators) is always refused.
Variant f_ValidaFecha(Host& host, const std::string& text);

// Whether the date format `format` means day-first entry: "dd/mm/yyyy" in
// any mix of letter case.
bool IsDayFirstFormat(const std::string& format);

// Swaps the day and month parts of a text laid out "dd/mm/yyyy" (or
// "mm/dd/yyyy"): characters 4-5, "/", characters 1-2, "/", characters 7 on.
// Parts beyond the end of a short text are empty.
std::string SwapDayAndMonth(const std::string& text);

}  // namespace trovel::basFuncion
