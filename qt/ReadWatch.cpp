#include "qt/ReadWatch.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

namespace trovel::qt {

ReadWatch::ReadWatch(QObject* parent) : QObject(parent) {}

ReadWatch::~ReadWatch() {
  if (!busy_) return;
  qApp->removeEventFilter(this);
  QApplication::restoreOverrideCursor();
}

bool ReadWatch::Report(std::chrono::milliseconds elapsed) {
  if (elapsed < kBusyAfter && !busy_) return false;
  if (!busy_) {
    busy_ = true;
    stop_ = false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    qApp->installEventFilter(this);
    QTimer::singleShot(0, this, &ReadWatch::Settle);
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
  busy_ = false;
  qApp->removeEventFilter(this);
  QApplication::restoreOverrideCursor();
}

bool ReadWatch::eventFilter(QObject* watched, QEvent* event) {
  if (!reporting_) return QObject::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::KeyPress:
      if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) stop_ = true;
      return true;
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
    case QEvent::Close:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::Drop:
      return true;
    default:
      return QObject::eventFilter(watched, event);
  }
}

}  // namespace trovel::qt
