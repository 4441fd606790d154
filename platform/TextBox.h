// TextBox: a single-line text box model. Text is UTF-8; MaxLength and
// SelStart count characters.
#pragma once

#include <functional>

#include "platform/Widget.h"

namespace trovel {

class TextBox : public Widget {
 public:
  using Widget::Widget;

  const std::string& Text() const { return text_; }
  void SetText(const std::string& text);  // fires onChange when it differs
  int MaxLength() const { return max_length_; }
  void SetMaxLength(int v);  // 0 = no limit; negative -> InvalidValue
  int SelStart() const { return sel_start_; }
  void SetSelStart(int v);   // clamped to the text's length; negative -> InvalidValue

  // What a typed character does once the key-press handler let it through:
  // printable codes insert at the caret (refused beyond MaxLength), 8 deletes
  // the character before the caret. Other control codes do nothing.
  void ApplyTypedCharacter(int code);

  std::function<void()> onChange;

 private:
  std::string text_;
  int max_length_ = 0;
  int sel_start_ = 0;
};

}  // namespace trovel
