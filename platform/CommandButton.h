// CommandButton: a push button model. Setting Value to true presses it: the
// click handler runs at once, inside the call, and Value reads false again.
// A graphical button shows its picture above the caption; the picture is
// shared with whoever set it.
#pragma once

#include <functional>
#include <memory>

#include "platform/Picture.h"
#include "platform/Widget.h"

namespace trovel {

enum class ButtonStyle { Standard, Graphical };

class CommandButton : public Widget {
 public:
  using Widget::Widget;

  ButtonStyle Style() const { return style_; }
  void SetStyle(ButtonStyle style) { style_ = style; NotifyChanged(); }
  const std::shared_ptr<Picture>& GetPicture() const { return picture_; }
  void SetPicture(std::shared_ptr<Picture> picture) { picture_ = std::move(picture); NotifyChanged(); }

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption) { caption_ = caption; NotifyChanged(); }
  bool Value() const { return false; }
  void SetValue(bool pressed) { if (pressed && onClick) onClick(); }
  // A mouse click or access key: presses the button when it is enabled and visible.
  void Click() { if (Enabled() && Visible()) SetValue(true); }

  std::function<void()> onClick;

 private:
  std::string caption_;
  ButtonStyle style_ = ButtonStyle::Standard;
  std::shared_ptr<Picture> picture_;
};

}  // namespace trovel
