// IsoDateText: reads the ISO-8601 text in which databases give dates:
// "yyyy-mm-dd", optionally followed by " hh:mm:ss" (or "T" for the blank),
// a fraction of a second and a zone (+hh, +hh:mm, Z). The fraction and the
// zone are dropped: a Date has whole seconds and no zone, and the time is the
// one the database shows.
//
// Thread-safety: only static functions; safe from any thread.
#pragma once

#include <cstddef>

#include "platform/DateTime.h"

namespace trovel {

class IsoDateText {
 public:
  IsoDateText() = delete;

  // True, with `out` set, when text[0..length) is such a date; false for
  // anything else (other forms, infinity, BC dates, years past 9999).
  static bool Parse(const char* text, size_t length, DateTime& out);
};

}  // namespace trovel
