#include "platform/TextBox.h"

#include "platform/Error.h"
#include "platform/Text.h"

namespace trovel {
namespace {

bool IsSurrogate(int c) { return c >= 0xD800 && c <= 0xDFFF; }

}  // namespace

void TextBox::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  length_ = static_cast<int>(Text::Length(text_));
  utf8_ = Text::IsUtf8(text_);
  if (sel_start_ > length_) sel_start_ = length_;
  caret_byte_ = Text::ByteOffset(text_, static_cast<std::size_t>(sel_start_));
  TextChanged();
}

void TextBox::SetMaxLength(int v) {
  if (v < 0) throw Error::InvalidValue(Name() + ".MaxLength");
  max_length_ = v;
}

void TextBox::SetSelStart(int v) {
  if (v < 0) throw Error::InvalidValue(Name() + ".SelStart");
  sel_start_ = v > length_ ? length_ : v;
  caret_byte_ = Text::ByteOffset(text_, static_cast<std::size_t>(sel_start_));
  NotifyChanged();
}

void TextBox::ApplyTypedCharacter(int16_t key_ascii) {
  if (key_ascii == 8) return EraseBeforeCaret();
  const int code = static_cast<uint16_t>(key_ascii);
  if (code < 32 || IsSurrogate(code)) return;
  Insert(code);
}

void TextBox::TypeWideCharacter(std::int32_t codepoint) {
  if (codepoint <= 0xFFFF || codepoint > 0x10FFFF)
    throw Error::InvalidValue(Name() + ": not a character beyond the key codes: " + std::to_string(codepoint));
  if (onWideCharacter)
    onWideCharacter(codepoint);
  else if (onKeyPress)
    return;
  // The handler may have changed it into anything; only a printable character goes in.
  if (codepoint < 32 || codepoint > 0x10FFFF || IsSurrogate(codepoint)) return;
  Insert(codepoint);
}

void TextBox::Insert(int codepoint) {
  if (max_length_ > 0 && length_ >= max_length_) return;
  // A complete character starts with a byte that continues nothing, so it
  // cannot join the bytes around it: the count grows by exactly one.
  const std::string bytes = Text::FromCodepoint(codepoint);
  text_.insert(caret_byte_, bytes);
  caret_byte_ += bytes.size();
  ++length_;
  last_edit_ = {revision_ + 1, sel_start_++, codepoint};
  TextChanged();
}

void TextBox::EraseBeforeCaret() {
  if (sel_start_ == 0) return;
  if (!utf8_) {
    // Erasing may join the bytes on either side into one character.
    const auto caret = static_cast<std::size_t>(sel_start_);
    std::string next = Text::Left(text_, caret - 1) + Text::Mid(text_, caret + 1);
    sel_start_ = sel_start_ - 1;
    SetText(next);
    return;
  }
  std::size_t start = caret_byte_ - 1;
  while (start > 0 && (static_cast<unsigned char>(text_[start]) & 0xC0) == 0x80) --start;
  text_.erase(start, caret_byte_ - start);
  caret_byte_ = start;
  --length_;
  last_edit_ = {revision_ + 1, sel_start_--, 0};
  TextChanged();
}

void TextBox::TextChanged() {
  ++revision_;
  NotifyChanged();
  if (onChange) onChange();
}

}  // namespace trovel
