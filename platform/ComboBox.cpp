#include "platform/ComboBox.h"

#include "platform/Error.h"

namespace trovel {

void ComboBox::Clear() {
  entries_.clear();
  index_ = -1;
  NotifyChanged();
}

const std::string& ComboBox::List(int index) const {
  if (index < 0 || index >= ListCount()) throw Error::InvalidValue(Name() + ".List");
  return entries_[static_cast<size_t>(index)];
}

void ComboBox::SetListIndex(int index) {
  if (index < -1 || index >= ListCount()) throw Error::InvalidValue(Name() + ".ListIndex");
  index_ = index;
  NotifyChanged();
  if (index >= 0 && onClick) onClick();
}

}  // namespace trovel
