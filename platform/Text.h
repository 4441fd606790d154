// Text: UTF-8 string helpers that count characters, not bytes. Typed text may
// hold accented letters, and positions in the controls are character
// positions counted from 1. A byte that does not start a valid UTF-8 sequence
// counts as one character of its own.
#pragma once

#include <string>

namespace trovel {

struct Text {
  static size_t Length(const std::string& s);
  // Characters from 1-based `start`, at most `count` of them; "" past the end.
  static std::string Mid(const std::string& s, size_t start, size_t count = std::string::npos);
  static std::string Left(const std::string& s, size_t count) { return Mid(s, 1, count); }
  static std::string Trim(const std::string& s);  // blanks at both ends
  static std::string Upper(const std::string& s);
  // Unicode upper case of one code point (Latin-1 and Latin Extended-A).
  static int UpperChar(int codepoint);
  static std::string FromCodepoint(int codepoint);
  // The first code point of `s`, or -1 when `s` is empty.
  static int FirstCodepoint(const std::string& s);
};

}  // namespace trovel
