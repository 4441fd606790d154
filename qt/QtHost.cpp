#include "qt/QtHost.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <algorithm>

#include "platform/Error.h"
#include "platform/Widget.h"
#include "qt/Twips.h"

namespace trovel::qt {

QtHost::QtHost(QObject* parent) : QObject(parent) {
  connect(qApp, &QApplication::focusChanged, this, &QtHost::OnQtFocusChanged);
}

void QtHost::Defer(std::chrono::milliseconds delay, std::function<void()> task) {
  QTimer::singleShot(delay, this, std::move(task));
}

std::function<void(std::chrono::milliseconds, std::function<void()>)> QtHost::Deferrer() {
  return [host = QPointer<QtHost>(this)](std::chrono::milliseconds delay, std::function<void()> task) {
    if (host) QTimer::singleShot(delay, host.data(), std::move(task));
  };
}

void QtHost::AttachView(Widget* model, QWidget* view) { views_[model] = view; }

void QtHost::DetachView(Widget* model) { views_.erase(model); }

void QtHost::UnregisterWidget(Widget* widget) {
  focus_.Unregister(widget);
  views_.erase(widget);
}

void QtHost::SetInnerSize(const void* control, float width, float height) { sizes_.Set(control, width, height); }
float QtHost::ScaleWidth(const void* control) const { return sizes_.Width(control); }
float QtHost::ScaleHeight(const void* control) const { return sizes_.Height(control); }

void QtHost::PropertyChanged(const void* control, const std::string& name) {
  emit propertyChanged(control, QString::fromStdString(name));
}

void QtHost::RaiseEvent(const void* control, const std::string& name, const std::vector<Variant*>& args) {
  QStringList texts;
  for (const Variant* v : args) texts << (v->IsNull() ? QString() : QString::fromStdString(v->ToString()));
  emit eventRaised(control, QString::fromStdString(name), texts);
}

int QtHost::MsgBox(const std::string& text, int style, const std::string& title) {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  switch (style & 0x70) {
    case kCritical: icon = QMessageBox::Critical; break;
    case kQuestion: icon = QMessageBox::Question; break;
    case kExclamation: icon = QMessageBox::Warning; break;
    case kInformation: icon = QMessageBox::Information; break;
  }
  const QString qtitle = QString::fromStdString(title);
  const QString qtext = QString::fromStdString(text);
  emit messageShown(qtitle, qtext);
  QWidget* window = QApplication::activeWindow();
  QMessageBox box(icon, qtitle, qtext, QMessageBox::Ok, window);
  // The box takes the keyboard focus while it is open; that is no focus
  // change of the form's widgets, and the form gets it back afterwards.
  QuietFocus quiet(*this);
  box.exec();
  if (window) QApplication::setActiveWindow(window);
  Widget* focused = focus_.Focused();
  if (focused) FocusView(focused);
  return kOk;
}

void QtHost::DoEvents() { QCoreApplication::processEvents(); }

bool QtHost::Guarded(QObject* view, const std::function<void()>& work) {
  const QPointer<QObject> alive(view);
  bool finished = false;
  try {
    work();
    finished = true;
  } catch (const std::exception& failure) {
    ShowFailure(failure.what());
  } catch (...) {
    ShowFailure("Error desconocido");
  }
  return finished && (!view || alive);
}

void QtHost::ShowFailure(const std::string& description) {
  try {
    MsgBox(description, kOkOnly | kCritical, "Mensaje");
  } catch (...) {
    // The box itself failed; the event loop is still no place for that.
    qWarning("%s", description.c_str());
  }
}

namespace {

// Styles draw the focus mark only in windows whose focus the keyboard moved;
// the host's moves are the form's keyboard handling, whatever Qt's reason.
void ShowFocusMark(QWidget* view) {
  view->window()->setAttribute(Qt::WA_KeyboardFocusChange);
  view->update();
}

}  // namespace

void QtHost::FocusView(Widget* model) {
  auto it = views_.find(model);
  if (it == views_.end()) return;
  QuietFocus quiet(*this);
  it->second->setFocus(Qt::OtherFocusReason);
  ShowFocusMark(it->second);
}

void QtHost::SetFocus(Widget* widget) {
  {
    // The handlers that run may hide the widget losing the focus; Qt's own
    // reaction to that is not a user's focus move.
    QuietFocus quiet(*this);
    focus_.MoveTo(widget);
  }
  FocusView(focus_.Focused());
}

void QtHost::SendTab() { MoveTab(true); }

void QtHost::MoveTab(bool forward) {
  Widget* focused = focus_.Focused();
  if (!focused) return;
  const std::vector<Widget*> order = focus_.FocusableInTabOrder(focus_.OwnerOf(focused));
  auto at = std::find(order.begin(), order.end(), focused);
  if (at != order.end()) {
    if (forward && at + 1 != order.end()) return SetFocus(*(at + 1));
    if (!forward && at != order.begin()) return SetFocus(*(at - 1));
  }
  auto view = views_.find(focused);
  if (view != views_.end() && view->second->parentWidget() && LeavePanel(view->second->parentWidget(), forward))
    return;
  // The control is the window's only focus stop: round within it.
  if (!order.empty()) SetFocus(forward ? order.front() : order.back());
}

bool QtHost::LeavePanel(QWidget* panel, bool forward) {
  for (QWidget* w = panel;;) {
    w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
    if (!w || w == panel) return false;
    if (panel->isAncestorOf(w) || w->window() != panel->window()) continue;
    if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled()) {
      w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
      return true;
    }
  }
}

bool QtHost::EnterOwner(Widget* member, bool last) {
  const std::vector<Widget*> order = focus_.FocusableInTabOrder(focus_.OwnerOf(member));
  if (!focus_.IsRegistered(member) || order.empty()) return false;
  SetFocus(last ? order.back() : order.front());
  return true;
}

float QtHost::TextWidth(const std::string& text, const Font* font) const {
  QFontMetricsF metrics(ShownFont(font));
  const QWidget* at = QApplication::activeWindow();
  const double dpi = at ? at->logicalDpiX() : 96.0;
  return static_cast<float>(metrics.horizontalAdvance(QString::fromStdString(text)) * 1440.0 / dpi);
}

Widget* QtHost::ModelOf(QWidget* view) const {
  for (QWidget* w = view; w; w = w->parentWidget())
    for (auto& [model, v] : views_)
      if (v == w) return model;
  return nullptr;
}

void QtHost::OnQtFocusChanged(QWidget*, QWidget* now) {
  if (quiet_ || !now) return;  // no widget at all: the window lost the focus
  Widget* model = ModelOf(now);
  if (model) ShowFocusMark(now);
  if (model == focus_.Focused()) return;
  QuietFocus quiet(*this);
  if (model && focus_.IsRegistered(model)) {
    Guarded(nullptr, [&] {
      try {
        focus_.MoveTo(model);
      } catch (const Error& refusal) {
        // Qt focused a view whose model refuses the focus; leave the model be.
        if (refusal.number() != Error::kCannotFocus) throw;
      }
    });
  } else {
    Guarded(nullptr, [&] { focus_.Leave(); });  // another widget of the application took it
  }
}

}  // namespace trovel::qt
