// Text: character-wise helpers over UTF-8 strings. Lengths and positions
// count characters, not bytes; a byte that does not start a valid UTF-8
// sequence counts as one character of its own, so no input can break them.
#pragma once

#include <cstddef>
#include <string>

namespace trovel {

struct Text {
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

  // Number of characters in s.
  static std::size_t Length(const std::string& s);
  // The count characters starting at the 1-based position start; a start past
  // the end gives "". A start below 1 throws Error::InvalidValue.
  static std::string Mid(const std::string& s, std::size_t start, std::size_t count = npos);
  // The first count characters of s.
  static std::string Left(const std::string& s, std::size_t count);
  // Upper-case form of the whole string, character by character with the
  // Unicode simple mapping (every script); invalid bytes pass unchanged.
  static std::string Upper(const std::string& s);
  // Upper-case form of one code point; code points without one pass unchanged.
  static int UpperChar(int codepoint);
  // Which characters count as blanks when trimming: each caller keeps the
  // set its own rule names.
  enum class Blanks { kSpaces, kSpacesAndTabs, kWhitespace /* space, tab, CR, LF */ };
  // s without leading and trailing blanks.
  static std::string Trim(const std::string& s, Blanks blanks = Blanks::kWhitespace);
  // s without trailing blanks.
  static std::string TrimEnd(const std::string& s, Blanks blanks = Blanks::kWhitespace);
  // The decimal number s begins with, read as the runtime's Val reads it:
  // blanks (space, tab, CR, LF) are skipped wherever they stand, then come
  // an optional sign, digits and an optional fraction. No number gives 0; a
  // number too large for a double gives infinity.
  static double Val(const std::string& s);
  // UTF-8 encoding of one code point; invalid code points throw
  // Error::InvalidValue.
  static std::string FromCodepoint(int codepoint);
  // Appends the UTF-8 encoding of `codepoint` to `out`.
  // REQUIRES: a code point of Unicode (at most U+10FFFF), not a surrogate.
  static void AppendCodepoint(std::string& out, char32_t codepoint);
  // Code point of the first character (an invalid byte gives its own value);
  // -1 for the empty string.
  static int FirstCodepoint(const std::string& s);
  // The code points of s in order, one per character (an invalid byte gives
  // its own value), in one pass.
  static std::u32string Codepoints(const std::string& s);
  // Whether s is well-formed UTF-8 throughout: no byte of it counts as a
  // character of its own.
  static bool IsUtf8(const std::string& s);
  // Byte offset of the character with 0-based index n (s.size() if beyond).
  static std::size_t ByteOffset(const std::string& s, std::size_t n);
};

}  // namespace trovel
