// CommandButton: a push button model. Setting Value to true presses it: the
// click handler runs at once, inside the call, and Value reads false again.
#pragma once

#include <functional>

#include "platform/Widget.h"

namespace trovel {

class CommandButton : public Widget {
 public:
  using Widget::Widget;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption) { caption_ = caption; NotifyChanged(); }
  bool Value() const { return false; }
  void SetValue(bool pressed) { if (pressed && onClick) onClick(); }
  // A mouse click or access key: presses the button when it is enabled and visible.
  void Click() { if (Enabled() && Visible()) SetValue(true); }

  std::function<void()> onClick;

 private:
  std::string caption_;
};

}  // namespace trovel
