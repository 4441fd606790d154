#include "qt/ReadWatch.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>

#include "qt/ControlWidget.h"

namespace trovel::qt {

namespace {

// How often a close waiting for the read's message box looks again.
constexpr std::chrono::milliseconds kCloseRetry{50};

ControlWidget* ControlOf(QObject* object) {
  for (auto* w = qobject_cast<QWidget*>(object); w; w = w->parentWidget())
    if (auto* control = qobject_cast<ControlWidget*>(w)) return control;
  return nullptr;
}

}  // namespace

ReadWatch::ReadWatch(QObject* parent) : QObject(parent) {}

ReadWatch::~ReadWatch() {
  if (!watching_) return;
  qApp->removeEventFilter(this);
  if (busy_) QApplication::restoreOverrideCursor();
}

bool ReadWatch::Report(std::chrono::milliseconds elapsed) {
  const bool slow = elapsed >= kBusyAfter;
  if (!watching_) {
    reader_ = ControlOf(QApplication::focusWidget());
    if (!slow && !TypingStops(QApplication::focusWidget())) return false;
    watching_ = true;
    stop_ = false;
    modal_ = QApplication::activeModalWidget();
    qApp->installEventFilter(this);
    QTimer::singleShot(0, this, &ReadWatch::Settle);
  }
  if (slow && !busy_) {
    busy_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
  }
  // Input reaches the filter below, which keeps it from the form.
  reporting_ = true;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  reporting_ = false;
  return stop_;
}

// Runs from the event loop: inside Report the read is still going, so it
// looks again on the next turn; anywhere else the read is over.
void ReadWatch::Settle() {
  if (reporting_) {
    QTimer::singleShot(0, this, &ReadWatch::Settle);
    return;
  }
  watching_ = false;
  reader_ = nullptr;
  qApp->removeEventFilter(this);
  if (busy_) QApplication::restoreOverrideCursor();
  busy_ = false;
  std::vector<HeldKey> held;
  held.swap(held_);
  for (HeldKey& key : held)
    if (key.receiver) QCoreApplication::postEvent(key.receiver, key.event.release());
  if (!closing_.empty()) CloseWhenIdle();
}

// The message box of a stopped read opens inside the control's handler;
// closing the window from that box's event loop could destroy the form, and
// the box with it, under that handler. So the close waits for the box.
void ReadWatch::CloseWhenIdle() {
  if (watching_) return;  // a new read: its Settle comes back here
  QWidget* modal = QApplication::activeModalWidget();
  if (modal && modal != modal_) {
    QTimer::singleShot(kCloseRetry, this, &ReadWatch::CloseWhenIdle);
    return;
  }
  std::vector<QPointer<QWidget>> closing;
  closing.swap(closing_);
  for (QPointer<QWidget>& widget : closing)
    if (widget) widget->close();
}

bool ReadWatch::TypingStops(QObject* receiver) const {
  if (!reader_ || !qobject_cast<QLineEdit*>(receiver) || ControlOf(receiver) != reader_) return false;
  try {
    return reader_->control().GetProperty("BuscarAlEscribir").ToBoolean();
  } catch (const std::exception&) {
    return false;  // a control without the property
  }
}

bool ReadWatch::eventFilter(QObject* watched, QEvent* event) {
  if (!reporting_) return QObject::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Escape) {
        stop_ = true;
        return true;
      }
      if (!TypingStops(watched)) return true;
      stop_ = true;
      const QString text = key->text();
      const bool edits = (!text.isEmpty() && text.at(0).isPrint()) || key->key() == Qt::Key_Backspace ||
                         key->key() == Qt::Key_Delete || key->key() == Qt::Key_Left ||
                         key->key() == Qt::Key_Right || key->key() == Qt::Key_Home || key->key() == Qt::Key_End;
      if (edits) return false;
      held_.push_back({QPointer<QObject>(watched), std::unique_ptr<QEvent>(key->clone())});
      return true;
    }
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::Drop:
      return true;
    case QEvent::Close: {
      // A close request for a window comes back as its widget's, which is
      // kept here. Tooltips and popups that close on their own timers, and
      // child widgets, close as usual: that is no user asking to leave.
      auto* widget = qobject_cast<QWidget*>(watched);
      if (!widget || (widget->windowType() != Qt::Window && widget->windowType() != Qt::Dialog)) return false;
      event->ignore();
      stop_ = true;
      if (std::find(closing_.begin(), closing_.end(), widget) == closing_.end()) closing_.emplace_back(widget);
      return true;
    }
    default:
      return QObject::eventFilter(watched, event);
  }
}

}  // namespace trovel::qt
