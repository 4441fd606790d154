// CaseBlindLike: the LIKE comparison of SQL over UTF-8 text, blind to letter
// case in every script and to nothing else.
//
// "%" matches any run of characters (none included), "_" exactly one
// character, and every other character itself. An escape character, when
// one is given, makes the character after it stand for itself; the escape
// wins over "%" and "_" when it is one of them, and a pattern that ends in a
// lone escape matches nothing. These are the rules of SQLite's own LIKE.
//
// Two characters are the same letter when the simple case folding of their
// upper-case forms agrees (ICU, one character to one character). Folding
// the upper-case form rather than the character itself ties the comparison
// to the upper-casing of Text::Upper, which the filter boxes apply while the
// user types: whatever a box turns a typed letter into finds the same rows
// as the letter itself. Accents and other marks stay significant: "GARCIA"
// does not match "García".
//
// A byte that does not start a valid UTF-8 sequence is one character of its
// own and equals only the same byte; no input can make a match fail.
//
// Matching takes time proportional to the length of the text times that of
// the pattern at worst, and allocates nothing.
//
// Thread safety: stateless; safe to call from any thread.
#pragma once

#include <string_view>

namespace trovel {

class CaseBlindLike {
 public:
  CaseBlindLike() = delete;

  // True when `text` matches `pattern`.
  // REQUIRES: `escape` is empty (no escape character) or IsOneCharacter(escape).
  static bool Matches(std::string_view pattern, std::string_view text, std::string_view escape = {});

  // True when `s` holds exactly one character (an invalid byte is one).
  static bool IsOneCharacter(std::string_view s);
};

}  // namespace trovel
