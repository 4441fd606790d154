#include "platform/Control.h"

#include "platform/Widget.h"

namespace trovel {

Widget* Control::FindChild(const std::string& name) {
  for (Widget* w : Children())
    if (w->Name() == name) return w;
  return nullptr;
}

}  // namespace trovel
