// TextBox: a single-line text box model. Text is UTF-8; Length, MaxLength,
// SelStart and SelLength count characters. The selection runs from SelStart
// over SelLength characters (0: none, only the caret at SelStart); a typed
// character replaces it, Backspace erases it.
//
// A key typed or erased at the caret costs the same whatever the length of
// the text: the box keeps its character count and the byte offset of its
// caret, and touches only the bytes of that character (and moves those after
// it). Text holding bytes that are not UTF-8, which only SetText can bring,
// is counted afresh when a character is erased from it, because erasing may
// join such bytes into one character.
//
// Threading: the host's user-interface thread only, like every widget.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/Widget.h"

namespace trovel {

class TextBox : public Widget {
 public:
  using Widget::Widget;

  const std::string& Text() const { return text_; }
  void SetText(const std::string& text);  // fires onChange when it differs
  int Length() const { return length_; }
  int MaxLength() const { return max_length_; }
  void SetMaxLength(int v);  // 0 = no limit; negative -> InvalidValue
  int SelStart() const { return sel_start_; }
  // Clamped to the text's length; negative -> InvalidValue. Clears the
  // selection, leaving the caret at `v`.
  void SetSelStart(int v);
  int SelLength() const { return sel_length_; }
  // Selects `v` characters from SelStart on, clamped to the text's end;
  // negative -> InvalidValue.
  void SetSelLength(int v);
  std::string SelText() const;
  // Replaces the selection by `text` (refused where MaxLength would be
  // passed: what fits goes in), leaving the caret after it.
  void SetSelText(const std::string& text);
  // Counts the changes of the text, so that a view can tell whether the
  // text it shows is still current without comparing it.
  std::uint64_t Revision() const { return revision_; }
  // The latest change, when it was one character typed at the caret or
  // erased before it: a view that showed the text of the revision before,
  // with its caret at `caret`, follows it by the same edit instead of
  // reading the whole text again. `revision` is that change's Revision();
  // `codepoint` is the character inserted, 0 for one erased.
  struct Edit {
    std::uint64_t revision = 0;
    int caret = 0;
    int codepoint = 0;
  };
  const Edit& LastEdit() const { return last_edit_; }

  // What a typed character does once the key-press handler let it through:
  // 8 erases the selection, or without one the character before the caret;
  // other codes below 32 do nothing; a printable code replaces the selection
  // or is inserted at the caret (refused beyond MaxLength). Codes above U+7FFF arrive negative, as 16-bit key codes do,
  // and stand for U+8000 to U+FFFF; a lone surrogate half is no character
  // and does nothing.
  void ApplyTypedCharacter(int16_t key_ascii);

  // A typed character beyond U+FFFF. No 16-bit key code can carry it, so the
  // key handlers never see it; the hosts hand it here instead, whole. The
  // onWideCharacter handler decides, as a key-press handler does: it may
  // keep the code point, change it, or set it to 0 to discard it. A box
  // without that handler but with a key-press handler discards it, since
  // its filter could not judge it; a box with neither takes it. What is kept
  // is inserted at the caret like a typed character. A code point that is
  // not beyond U+FFFF or not a character throws Error::InvalidValue.
  void TypeWideCharacter(std::int32_t codepoint);

  std::function<void()> onChange;
  std::function<void(std::int32_t& codepoint)> onWideCharacter;

 private:
  void Insert(int codepoint);
  void EraseBeforeCaret();
  // The selection's bytes in text_.
  std::size_t SelEndByte() const;
  void TextChanged();

  std::string text_;
  int length_ = 0;
  bool utf8_ = true;  // text_ is well-formed UTF-8 throughout
  int max_length_ = 0;
  int sel_start_ = 0;
  int sel_length_ = 0;
  std::size_t caret_byte_ = 0;  // byte offset of the caret in text_
  std::uint64_t revision_ = 0;
  Edit last_edit_;
};

}  // namespace trovel
