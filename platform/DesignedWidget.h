// DesignedWidget: a child widget with the place it was given on the form at
// design time. A control lists its children this way, in tab order, and
// PlaceDesignedWidgets moves them there, numbers their tab order and
// registers them with the host as the control's own.
//
// The widgets are the control's; the host only keeps pointers to them until
// the control unregisters them.
#pragma once

#include <initializer_list>

namespace trovel {

class Host;
class Widget;

struct DesignedWidget {
  Widget* widget;
  float left, top, width, height;
};

// REQUIRES: the widgets are not registered yet.
void PlaceDesignedWidgets(Host& host, const void* control, std::initializer_list<DesignedWidget> widgets);

}  // namespace trovel
