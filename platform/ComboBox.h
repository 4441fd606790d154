// ComboBox: a drop-down list model; the user chooses an entry and cannot
// type other text.
#pragma once

#include <functional>
#include <vector>

#include "platform/Widget.h"

namespace trovel {

class ComboBox : public Widget {
 public:
  using Widget::Widget;

  void Clear();
  void AddItem(const std::string& entry) { entries_.push_back(entry); NotifyChanged(); }
  int ListCount() const { return static_cast<int>(entries_.size()); }
  // Throws Error::InvalidValue for an index outside 0..ListCount()-1.
  const std::string& List(int index) const;
  int ListIndex() const { return index_; }
  // -1 chooses nothing. Fires onClick when an entry gets chosen.
  void SetListIndex(int index);
  std::string Text() const { return index_ < 0 ? std::string() : entries_[static_cast<size_t>(index_)]; }

  std::function<void()> onClick;

 private:
  std::vector<std::string> entries_;
  int index_ = -1;
};

}  // namespace trovel
