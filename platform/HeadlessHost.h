// HeadlessHost: a deterministic, in-memory host for tests and command-line
// programs. It records every message box, property notice and raised event,
// answers message boxes with a scriptable reply, and runs focus and tab
// order itself. Its timers (Defer) run only inside Wait and RunTimers, on the
// caller's thread, as an event loop would run them between a user's
// actions.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <map>

#include "platform/FocusChain.h"
#include "platform/Host.h"
#include "platform/InnerSizes.h"

namespace trovel {

class CommandButton;

class HeadlessHost : public Host {
 public:
  struct MessageBox {
    std::string text;
    int style;
    std::string title;
  };
  struct RaisedEvent {
    const void* control;
    std::string name;
    std::vector<std::string> args;  // the arguments' text after the handler ran
  };

  void PropertyChanged(const void* control, const std::string& name) override;
  void RaiseEvent(const void* control, const std::string& name, const std::vector<Variant*>& args) override;
  int MsgBox(const std::string& text, int style, const std::string& title) override;
  void DoEvents() override;
  void SetFocus(Widget* widget) override;
  Widget* FocusedWidget() const override { return focus_.Focused(); }
  void SendTab() override;
  void RegisterWidget(const void* control, Widget* widget) override;
  void UnregisterWidget(Widget* widget) override;
  // 120 twips per character at 8.25 points, in proportion to the size.
  float TextWidth(const std::string& text, const Font* font) const override;

  float ScaleWidth(const void* control) const override;
  float ScaleHeight(const void* control) const override;
  // Sizes `control`; the caller then runs the control's resize handler.
  // Throws Error::InvalidValue for a negative or non-finite size.
  void SetInnerSize(const void* control, float width, float height);

  // Queues work for the next DoEvents.
  void Post(std::function<void()> work) { posted_.push_back(std::move(work)); }
  // Runs `task` once `delay` has passed, from the next Wait or RunTimers
  // after that. Deferrer (from Host) hands this to a connection.
  // REQUIRES for Deferrer: the host outlives every connection given it.
  void Defer(std::chrono::milliseconds delay, std::function<void()> task) override;
  // Runs every timer that is due, in the order of their times, those that
  // their tasks add and are due already included.
  void RunTimers();
  // The user looking at the screen for `time`: sleeps, and runs each timer
  // when it comes due meanwhile.
  void Wait(std::chrono::milliseconds time);
  // Timers not run yet.
  size_t PendingTimers() const { return timers_.size(); }
  // The reply the next message boxes get (kOk unless changed).
  void SetMsgBoxReply(int reply) { reply_ = reply; }
  // Called for each message box and each event as it happens.
  std::function<void(const MessageBox&)> onMessageBox;
  std::function<void(const std::string& name, const std::vector<Variant*>& args)> onEvent;

  // A user typing one character into `widget`: its key-down handler runs,
  // then its key-press handler, and a code that handler lets through
  // reaches a text box. Tab (9) only moves the focus on, as in every host.
  // A registered widget that a handler unregisters (its control destroyed)
  // gets no more of the key.
  void TypeKey(Widget& widget, int16_t code);
  // A user typing the character `codepoint` into `widget`. One that a key
  // code holds goes through TypeKey (from U+8000 on as a negative code, as
  // 16-bit key codes carry it). One beyond U+FFFF has no key code, so no key
  // handler hears of it: a text box gets it whole through
  // TextBox::TypeWideCharacter, and any other widget ignores it, as it
  // would a key without a code. It is never cut down to 16 bits, which would
  // type another character. A code point that is no character throws
  // Error::InvalidValue.
  void TypeCharacter(Widget& widget, char32_t codepoint);
  // A user clicking `button` with the mouse. A disabled or hidden button
  // ignores it. Otherwise the button takes the focus first, so the widget
  // being left runs its validate and lost-focus handlers, and is then
  // pressed, unless those handlers kept the focus from it, disabled or hid
  // it, or showed a message box: the box takes the mouse, and the button
  // never sees the release that would press it.
  // REQUIRES: `button` is registered.
  void ClickWithMouse(CommandButton& button);

  std::vector<MessageBox> messages;
  std::vector<std::string> notices;
  std::vector<RaisedEvent> events;

 private:
  FocusChain focus_;
  InnerSizes sizes_;
  std::deque<std::function<void()>> posted_;
  std::multimap<std::chrono::steady_clock::time_point, std::function<void()>> timers_;
  int reply_ = kOk;
};

}  // namespace trovel
