#include "platform/Control.h"

#include "platform/Host.h"
#include "platform/Widget.h"

namespace trovel {

Widget* Control::FindChild(const std::string& name) {
  for (Widget* w : Children())
    if (w->Name() == name) return w;
  return nullptr;
}

void Control::RaiseToForm(Host& host, const std::function<void()>& form_handler, const std::string& name,
                          const std::vector<Variant*>& args) {
  const std::weak_ptr<int> alive = alive_;
  if (form_handler) form_handler();
  if (alive.expired()) return;
  host.RaiseEvent(this, name, args);
}

}  // namespace trovel
