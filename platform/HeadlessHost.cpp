#include "platform/HeadlessHost.h"

#include <algorithm>
#include <thread>

#include "platform/CommandButton.h"
#include "platform/Error.h"
#include "platform/Font.h"
#include "platform/Text.h"
#include "platform/TextBox.h"
#include "platform/Widget.h"

namespace trovel {

void HeadlessHost::PropertyChanged(const void*, const std::string& name) { notices.push_back(name); }

void HeadlessHost::RaiseEvent(const void* control, const std::string& name, const std::vector<Variant*>& args) {
  if (onEvent) onEvent(name, args);
  RaisedEvent e{control, name, {}};
  for (const Variant* v : args) e.args.push_back(v->IsNull() ? "Null" : v->ToString());
  events.push_back(std::move(e));
}

int HeadlessHost::MsgBox(const std::string& text, int style, const std::string& title) {
  messages.push_back({text, style, title});
  if (onMessageBox) onMessageBox(messages.back());
  return reply_;
}

void HeadlessHost::DoEvents() {
  // Only the work queued before this call runs; work it queues waits.
  std::deque<std::function<void()>> now;
  now.swap(posted_);
  for (auto& work : now) work();
}

void HeadlessHost::Defer(std::chrono::milliseconds delay, std::function<void()> task) {
  timers_.emplace(std::chrono::steady_clock::now() + std::max(delay, std::chrono::milliseconds(0)), std::move(task));
}

void HeadlessHost::RunTimers() {
  while (!timers_.empty() && timers_.begin()->first <= std::chrono::steady_clock::now()) {
    std::function<void()> task = std::move(timers_.begin()->second);
    timers_.erase(timers_.begin());
    task();
  }
}

void HeadlessHost::Wait(std::chrono::milliseconds time) {
  const auto end = std::chrono::steady_clock::now() + std::max(time, std::chrono::milliseconds(0));
  for (;;) {
    RunTimers();
    if (std::chrono::steady_clock::now() >= end) return;
    std::this_thread::sleep_until(timers_.empty() ? end : std::min(end, timers_.begin()->first));
  }
}

void HeadlessHost::SetFocus(Widget* widget) { focus_.MoveTo(widget); }

void HeadlessHost::SendTab() {
  if (Widget* next = focus_.NextInTabOrder()) focus_.MoveTo(next);
}

void HeadlessHost::RegisterWidget(const void* control, Widget* widget) { focus_.Register(control, widget); }

void HeadlessHost::UnregisterWidget(Widget* widget) { focus_.Unregister(widget); }

float HeadlessHost::TextWidth(const std::string& text, const Font* font) const {
  float size = font ? font->size : 8.25f;
  return 120.0f * static_cast<float>(Text::Length(text)) * size / 8.25f;
}

float HeadlessHost::ScaleWidth(const void* control) const { return sizes_.Width(control); }
float HeadlessHost::ScaleHeight(const void* control) const { return sizes_.Height(control); }

void HeadlessHost::SetInnerSize(const void* control, float width, float height) {
  sizes_.Set(control, width, height);
}

void HeadlessHost::TypeKey(Widget& widget, int16_t code) {
  // Tab belongs to the form: it moves the focus and reaches no handler.
  if (code == 9) {
    SendTab();
    return;
  }
  // The key goes down first (letters report their capital's code, as key
  // codes do), then its character reaches the same widget, even when the
  // key-down handler moved the focus elsewhere.
  // A handler may raise an event whose form destroys the control, and with
  // it the widget, which its control unregisters: then the key is done.
  int16_t key_code = code >= 'a' && code <= 'z' ? static_cast<int16_t>(code - 'a' + 'A') : code;
  const bool registered = focus_.IsRegistered(&widget);
  auto gone = [&] { return registered && !focus_.IsRegistered(&widget); };
  widget.FireKeyDown(key_code);
  if (gone()) return;
  widget.FireKeyPress(code);
  if (code == 0 || gone()) return;
  if (auto* box = dynamic_cast<TextBox*>(&widget)) box->ApplyTypedCharacter(code);
}

void HeadlessHost::ClickWithMouse(CommandButton& button) {
  if (!button.Enabled() || !button.Visible()) return;
  const size_t shown = messages.size();
  SetFocus(&button);
  if (messages.size() != shown || FocusedWidget() != &button) return;
  button.Click();
}

void HeadlessHost::TypeCharacter(Widget& widget, char32_t codepoint) {
  if (codepoint > 0x10FFFF || (codepoint >= 0xD800 && codepoint <= 0xDFFF))
    throw Error::InvalidValue("no es un código de carácter: " + std::to_string(codepoint));
  if (codepoint <= 0xFFFF) return TypeKey(widget, static_cast<int16_t>(codepoint));
  if (auto* box = dynamic_cast<TextBox*>(&widget)) box->TypeWideCharacter(static_cast<int32_t>(codepoint));
}

}  // namespace trovel
