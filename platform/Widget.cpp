#include "platform/Widget.h"

#include "platform/Error.h"
#include "platform/Font.h"

namespace trovel {

void Widget::SetLeft(float v) { left_ = v; NotifyChanged(); }
void Widget::SetTop(float v) { top_ = v; NotifyChanged(); }

void Widget::SetWidth(float v) {
  if (v < 0) throw Error::InvalidValue(name_ + ".Width");
  width_ = v;
  NotifyChanged();
}

void Widget::SetHeight(float v) {
  if (v < 0) throw Error::InvalidValue(name_ + ".Height");
  height_ = v;
  NotifyChanged();
}

void Widget::Move(float left, float top, float width, float height) {
  if (width < 0 || height < 0) throw Error::InvalidValue(name_ + ".Move");
  left_ = left, top_ = top, width_ = width, height_ = height;
  NotifyChanged();
}

void Widget::SetVisible(bool v) { visible_ = v; NotifyChanged(); }
void Widget::SetEnabled(bool v) { enabled_ = v; NotifyChanged(); }
void Widget::SetFont(std::shared_ptr<Font> font) { font_ = std::move(font); NotifyChanged(); }

void Widget::SetToolTipText(const std::string& text) {
  if (text == tool_tip_text_) return;
  tool_tip_text_ = text;
  NotifyChanged();
}

}  // namespace trovel
