#include "connectors/IsoDateText.h"

namespace trovel {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads `count` digits at text[at]; -1 when one is not a digit.
int Digits(const char* text, size_t at, size_t count) {
  int v = 0;
  for (size_t i = at; i < at + count; ++i) {
    if (!IsDigit(text[i])) return -1;
    v = v * 10 + (text[i] - '0');
  }
  return v;
}

}  // namespace

bool IsoDateText::Parse(const char* text, size_t length, DateTime& out) {
  if (length < 10 || text[4] != '-' || text[7] != '-') return false;
  DateTime dt{Digits(text, 0, 4), Digits(text, 5, 2), Digits(text, 8, 2), 0, 0, 0};
  if (dt.year < 0 || dt.month < 1 || dt.month > 12 || dt.day < 1 || dt.day > 31) return false;
  if (length > 10) {
    if (length < 19 || (text[10] != ' ' && text[10] != 'T') || text[13] != ':' || text[16] != ':') return false;
    dt.hour = Digits(text, 11, 2), dt.minute = Digits(text, 14, 2), dt.second = Digits(text, 17, 2);
    if (dt.hour < 0 || dt.hour > 23 || dt.minute < 0 || dt.minute > 59 || dt.second < 0 || dt.second > 59)
      return false;
    size_t i = 19;
    if (i < length && text[i] == '.')
      for (++i; i < length && IsDigit(text[i]);) ++i;
    if (i < length && text[i] == 'Z') {
      ++i;
    } else if (i < length && (text[i] == '+' || text[i] == '-')) {
      for (++i; i < length && (IsDigit(text[i]) || text[i] == ':');) ++i;
    }
    if (i != length) return false;
  }
  out = dt;
  return true;
}

}  // namespace trovel
