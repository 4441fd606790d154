#include "platform/DesignedWidget.h"

#include "platform/Host.h"
#include "platform/Widget.h"

namespace trovel {

void PlaceDesignedWidgets(Host& host, const void* control, std::initializer_list<DesignedWidget> widgets) {
  int tab_index = 0;
  for (const DesignedWidget& d : widgets) {
    d.widget->Move(d.left, d.top, d.width, d.height);
    d.widget->SetTabIndex(tab_index++);
    host.RegisterWidget(control, d.widget);
  }
}

}  // namespace trovel
