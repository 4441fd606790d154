// Label: a caption that never takes the focus.
#pragma once

#include "platform/Widget.h"

namespace trovel {

class Label : public Widget {
 public:
  using Widget::Widget;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption) { caption_ = caption; NotifyChanged(); }
  bool CanTakeFocus() const override { return false; }

 private:
  std::string caption_;
};

}  // namespace trovel
