// QtHost: the form host for controls shown in real Qt windows. It runs the
// controls' focus model (FocusChain) and keeps Qt's keyboard focus on the
// view of the focused model widget; a focus change that Qt makes (a click,
// a window's own focus handling) is fed back into the model in the same
// order the platform defines: validate and lost focus, then got focus.
// Tab runs through the whole window: inside a control in its designed tab
// order, and past its last (or first) widget on to the window's next (or
// previous) focus stop, which may be another control or a widget of the
// application's own. The focused view always shows its focus mark.
// Events and property notices reach the application as Qt signals; message
// boxes are modal QMessageBoxes; DoEvents runs the Qt event loop once.
//
// Views call into their models, and so into the controls, only through
// Guarded: the caller of a view is Qt's event loop, which must see no
// failure, and the form's event handlers that run inside may delete the
// view together with its control.
//
// Threading: Qt's GUI thread only.
// Ownership: views register with AttachView and detach before they die;
// the host owns neither views nor model widgets.
#pragma once

#include <QObject>
#include <QStringList>
#include <QWidget>
#include <chrono>
#include <functional>
#include <map>

#include "platform/FocusChain.h"
#include "platform/Host.h"
#include "platform/InnerSizes.h"

namespace trovel::qt {

class QtHost : public QObject, public Host {
  Q_OBJECT

 public:
  explicit QtHost(QObject* parent = nullptr);

  // Timers are single-shot Qt timers on the GUI thread, run by its event
  // loop. A task still waiting when the host is destroyed never runs; the
  // hook from Deferrer may outlive the host and then drops what it gets.
  void Defer(std::chrono::milliseconds delay, std::function<void()> task) override;
  std::function<void(std::chrono::milliseconds, std::function<void()>)> Deferrer() override;

  // The Qt widget that shows `model`; the host gives it the keyboard focus
  // when the model widget gets it.
  void AttachView(Widget* model, QWidget* view);
  void DetachView(Widget* model);
  // Records a control's inner size in twips; its view calls this on resize.
  void SetInnerSize(const void* control, float width, float height);

  void PropertyChanged(const void* control, const std::string& name) override;
  void RaiseEvent(const void* control, const std::string& name, const std::vector<Variant*>& args) override;
  int MsgBox(const std::string& text, int style, const std::string& title) override;
  void DoEvents() override;
  void SetFocus(Widget* widget) override;
  Widget* FocusedWidget() const override { return focus_.Focused(); }
  void SendTab() override;
  // Tab (forward) or Shift+Tab from the focused model widget, as above.
  void MoveTab(bool forward);
  // Gives the focus to the first (or, with `last`, the last) widget in tab
  // order of the control that `member` belongs to; false when none of its
  // widgets can take the focus now.
  bool EnterOwner(Widget* member, bool last);
  void RegisterWidget(const void* control, Widget* widget) override { focus_.Register(control, widget); }
  void UnregisterWidget(Widget* widget) override;
  float TextWidth(const std::string& text, const Font* font) const override;
  float ScaleWidth(const void* control) const override;
  float ScaleHeight(const void* control) const override;

  // Runs `work`, a view's call into its model widget or control. A failure
  // that escapes it is shown in a message box (critical icon, OK, title
  // "Mensaje", the failure's description) and goes no further. Returns true
  // when `work` finished and `view` (may be null) still exists; the view
  // must not touch itself after a false answer, since it may be gone.
  bool Guarded(QObject* view, const std::function<void()>& work);

  // While one lives, Qt's own focus moves are not fed back into the model:
  // for views that hide or move widgets on the model's behalf.
  class QuietFocus {
   public:
    explicit QuietFocus(QtHost& host) : host_(host), was_(host.quiet_) { host.quiet_ = true; }
    ~QuietFocus() { host_.quiet_ = was_; }
    QuietFocus(const QuietFocus&) = delete;
    QuietFocus& operator=(const QuietFocus&) = delete;

   private:
    QtHost& host_;
    bool was_;
  };

 signals:
  void propertyChanged(const void* control, const QString& name);
  void eventRaised(const void* control, const QString& name, const QStringList& args);
  void messageShown(const QString& title, const QString& text);

 private:
  void OnQtFocusChanged(QWidget* old, QWidget* now);
  void ShowFailure(const std::string& description);
  Widget* ModelOf(QWidget* view) const;
  void FocusView(Widget* model);
  // Moves Qt's focus to the next focus stop of the window outside `panel`;
  // false when there is none.
  bool LeavePanel(QWidget* panel, bool forward);

  FocusChain focus_;
  std::map<Widget*, QWidget*> views_;
  InnerSizes sizes_;
  bool quiet_ = false;
};

}  // namespace trovel::qt
