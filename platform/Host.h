// Host: what a control asks of the form host that contains it.
//
// Threading: there is one thread, the host's user-interface thread. Every
// call is made on it and returns after its work is done; events raised to the
// form run inside the call that raises them. Deferred tasks run on it too,
// from the host's event loop.
//
// Ownership: the host never owns a control or its widgets. Controls register
// their focusable widgets (non-owning pointers) and unregister them before
// the widgets are destroyed.
//
// Copying a host is meaningless and deleted. Wrap a host in HostWrapper to
// override only some of its operations.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/Variant.h"

namespace trovel {

class Font;
class Widget;

class Host {
 public:
  // Message-box styles and results, as the runtime numbers them.
  enum MsgBoxStyle : int { kOkOnly = 0, kCritical = 16, kQuestion = 32, kExclamation = 48, kInformation = 64 };
  enum MsgBoxResult : int { kOk = 1, kCancel = 2 };

  Host() = default;
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;
  virtual ~Host() = default;

  // Tells the host that the property `name` of `control` changed.
  virtual void PropertyChanged(const void* control, const std::string& name) = 0;
  // Raises the event `name` to the form; the form's handler may change the
  // arguments, which are owned by the caller.
  virtual void RaiseEvent(const void* control, const std::string& name, const std::vector<Variant*>& args) = 0;
  // Shows a modal message box and returns the button the user chose.
  virtual int MsgBox(const std::string& text, int style, const std::string& title) = 0;
  // Runs the pending user-interface events once.
  virtual void DoEvents() = 0;

  // Focus. SetFocus fails with Error (number 5) for a hidden or disabled
  // widget. Moving the focus runs the old widget's validate and lost-focus
  // handlers before the new widget's got-focus handler.
  // REQUIRES: the widget is registered.
  virtual void SetFocus(Widget* widget) = 0;
  virtual Widget* FocusedWidget() const = 0;
  // Moves the focus on to the next visible, enabled widget in tab order
  // among those of the focused widget's control, and waits until done.
  virtual void SendTab() = 0;
  virtual void RegisterWidget(const void* control, Widget* widget) = 0;
  virtual void UnregisterWidget(Widget* widget) = 0;

  // Width of `text` in `font` (null: the default font), in twips.
  virtual float TextWidth(const std::string& text, const Font* font) const = 0;
  // The inner width and height of `control` in twips, which its layout
  // fills. A control the host has not sized yet reads 0 x 0.
  virtual float ScaleWidth(const void* control) const = 0;
  virtual float ScaleHeight(const void* control) const = 0;

  // Timers. Runs `task` once `delay` has passed, from the host's event loop
  // (never inside the call that defers it). A task may run late, or never
  // (the host closing). The host keeps the task until then, so a task must
  // not reach an object that may be gone by the time it runs: PauseTimer
  // gives a control's tasks a cancel token.
  virtual void Defer(std::chrono::milliseconds delay, std::function<void()> task) = 0;
  // Defer as a hook for ConnectionSettings::defer. This one calls Defer on
  // the host, so it requires the host to outlive every connection given it;
  // a host that may die first returns a hook that checks.
  virtual std::function<void(std::chrono::milliseconds, std::function<void()>)> Deferrer() {
    return [this](std::chrono::milliseconds delay, std::function<void()> task) { Defer(delay, std::move(task)); };
  }
};

}  // namespace trovel
