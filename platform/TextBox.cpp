#include "platform/TextBox.h"

#include <algorithm>

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
  sel_length_ = 0;
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
  sel_length_ = 0;
  caret_byte_ = Text::ByteOffset(text_, static_cast<std::size_t>(sel_start_));
  NotifyChanged();
}

void TextBox::SetSelLength(int v) {
  if (v < 0) throw Error::InvalidValue(Name() + ".SelLength");
  sel_length_ = v > length_ - sel_start_ ? length_ - sel_start_ : v;
  NotifyChanged();
}

std::size_t TextBox::SelEndByte() const {
  if (sel_length_ == 0) return caret_byte_;
  return caret_byte_ + Text::ByteOffset(text_.substr(caret_byte_), static_cast<std::size_t>(sel_length_));
}

std::string TextBox::SelText() const { return text_.substr(caret_byte_, SelEndByte() - caret_byte_); }

void TextBox::SetSelText(const std::string& text) {
  std::string kept = text;
  if (max_length_ > 0) {
    const auto room = static_cast<std::size_t>(std::max(0, max_length_ - (length_ - sel_length_)));
    if (Text::Length(kept) > room) kept = Text::Left(kept, room);
  }
  const std::size_t end = SelEndByte();
  if (kept.empty() && end == caret_byte_) return;
  text_.replace(caret_byte_, end - caret_byte_, kept);
  caret_byte_ += kept.size();
  // The bytes on either side may join those put in when they are not UTF-8:
  // the text is counted afresh.
  utf8_ = Text::IsUtf8(text_);
  length_ = static_cast<int>(Text::Length(text_));
  sel_start_ = static_cast<int>(Text::Length(text_.substr(0, caret_byte_)));
  sel_length_ = 0;
  TextChanged();
}

void TextBox::ApplyTypedCharacter(int16_t key_ascii) {
  const int code = static_cast<uint16_t>(key_ascii);
  if (key_ascii == 8) return sel_length_ > 0 ? SetSelText("") : EraseBeforeCaret();
  if (code < 32 || IsSurrogate(code)) return;
  if (sel_length_ > 0) return SetSelText(Text::FromCodepoint(code));
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
  if (sel_length_ > 0) return SetSelText(Text::FromCodepoint(codepoint));
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
