#include "platform/TextBox.h"

#include "platform/Error.h"
#include "platform/Text.h"

namespace trovel {

void TextBox::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  int length = static_cast<int>(Text::Length(text_));
  if (sel_start_ > length) sel_start_ = length;
  NotifyChanged();
  if (onChange) onChange();
}

void TextBox::SetMaxLength(int v) {
  if (v < 0) throw Error::InvalidValue(Name() + ".MaxLength");
  max_length_ = v;
}

void TextBox::SetSelStart(int v) {
  if (v < 0) throw Error::InvalidValue(Name() + ".SelStart");
  int length = static_cast<int>(Text::Length(text_));
  sel_start_ = v > length ? length : v;
  NotifyChanged();
}

void TextBox::ApplyTypedCharacter(int code) {
  size_t caret = static_cast<size_t>(sel_start_);
  if (code == 8) {
    if (caret == 0) return;
    std::string next = Text::Left(text_, caret - 1) + Text::Mid(text_, caret + 1);
    sel_start_ = static_cast<int>(caret - 1);
    SetText(next);
    return;
  }
  if (code < 32) return;
  if (max_length_ > 0 && static_cast<int>(Text::Length(text_)) >= max_length_) return;
  std::string next = Text::Left(text_, caret) + Text::FromCodepoint(code) + Text::Mid(text_, caret + 1);
  sel_start_ = static_cast<int>(caret + 1);
  SetText(next);
}

}  // namespace trovel
