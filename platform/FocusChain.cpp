#include "platform/FocusChain.h"

#include <algorithm>

#include "platform/Error.h"
#include "platform/Widget.h"

namespace trovel {

namespace {

bool CanFocusNow(const Widget* w) { return w->Visible() && w->Enabled() && w->CanTakeFocus(); }

void SortByTabIndex(std::vector<Widget*>& order) {
  std::stable_sort(order.begin(), order.end(), [](Widget* a, Widget* b) { return a->TabIndex() < b->TabIndex(); });
}

}  // namespace

void FocusChain::Unregister(Widget* widget) {
  owners_.erase(widget);
  if (focused_ == widget) focused_ = nullptr;
}

void FocusChain::MoveTo(Widget* widget) {
  if (!widget || !IsRegistered(widget)) throw Error(Error::kCannotFocus, "Argumento o llamada a procedimiento no válida");
  if (!CanFocusNow(widget))
    throw Error(Error::kCannotFocus, "Argumento o llamada a procedimiento no válida: " + widget->Name() + " no puede recibir el foco");
  if (widget == focused_) return;
  Leave();
  focused_ = widget;
  widget->FireGotFocus();
}

void FocusChain::Leave() {
  Widget* old = focused_;
  if (!old) return;
  old->FireValidate();
  old->FireLostFocus();
  // A handler may itself have moved the focus on; only clear our own mark.
  if (focused_ == old) focused_ = nullptr;
}

std::vector<Widget*> FocusChain::FocusableInTabOrder(const void* owner) const {
  std::vector<Widget*> order;
  for (auto& [w, o] : owners_)
    if (o == owner && CanFocusNow(w)) order.push_back(w);
  SortByTabIndex(order);
  return order;
}

const void* FocusChain::OwnerOf(Widget* widget) const {
  auto it = owners_.find(widget);
  return it == owners_.end() ? nullptr : it->second;
}

Widget* FocusChain::NextInTabOrder() const {
  if (!focused_) return nullptr;
  const void* owner = owners_.at(focused_);
  std::vector<Widget*> order;
  for (auto& [w, o] : owners_)
    if (o == owner) order.push_back(w);
  SortByTabIndex(order);
  size_t start = static_cast<size_t>(std::find(order.begin(), order.end(), focused_) - order.begin());
  for (size_t k = 1; k < order.size(); ++k) {
    Widget* next = order[(start + k) % order.size()];
    if (CanFocusNow(next)) return next;
  }
  return nullptr;
}

}  // namespace trovel
