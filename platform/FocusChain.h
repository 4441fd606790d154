// FocusChain: which widget has the focus, and the order in which Tab moves
// it, for the widgets the controls register with their host. Hosts build
// their focus handling on it, so that every host runs the focus events in
// the same order: the old widget's validate and lost-focus handlers, then
// the new widget's got-focus handler.
//
// Widgets are not owned; an owner unregisters its widgets before they die.
#pragma once

#include <map>
#include <vector>

namespace trovel {

class Widget;

class FocusChain {
 public:
  void Register(const void* owner, Widget* widget) { owners_[widget] = owner; }
  void Unregister(Widget* widget);
  bool IsRegistered(Widget* widget) const { return owners_.count(widget) != 0; }
  Widget* Focused() const { return focused_; }

  // Gives `widget` the focus, running the focus events. Fails with Error
  // number 5 for an unregistered, hidden, disabled or label-like widget.
  void MoveTo(Widget* widget);
  // The focus leaves the registered widgets (another window took it).
  void Leave();
  // The next widget after the focused one, in its owner's tab order, that
  // can take the focus now; null when there is none.
  Widget* NextInTabOrder() const;
  // The widgets registered by `owner` that can take the focus now, in tab
  // order; a host that runs Tab across several controls walks these.
  std::vector<Widget*> FocusableInTabOrder(const void* owner) const;
  // The owner `widget` was registered with; null when it is not registered.
  const void* OwnerOf(Widget* widget) const;

 private:
  std::map<Widget*, const void*> owners_;
  Widget* focused_ = nullptr;
};

}  // namespace trovel
