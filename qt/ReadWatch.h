// ReadWatch: what the Qt host does while a database read keeps the event loop
// waiting. A connection calls Report now and then during a read (a
// connector's progress hook, ConnectionSettings::read_progress); past 300 ms
// the watch shows the wait cursor and starts looking at the user's input:
// Escape stops the read, every other key press and click is dropped, so that
// no handler of the form runs and nothing re-enters the control meanwhile.
// Painting and timers go on. The cursor comes back when the event loop next
// runs outside a read: after the read, or when its message box opens.
//
// A request to close a window or dialog (its close button, QWidget::close)
// stops the read too, and is not lost: the window is closed again, through
// its closeEvent handlers, once the read is over and any message box it
// opened has gone, so that the form never goes away under the control's
// handler.
//
// A search that follows the keys (a control with BuscarAlEscribir) must not
// make the user wait. The control whose widget holds the focus when a read
// begins is taken for the reading one; when it searches as the user types,
// the watch looks at input from the read's first report, and a key press
// for one of its text boxes stops the read. A key that edits the text (a
// character, Backspace, Delete, a move of the caret) goes on to the box at
// once, so the control hears of the change; any other key (Enter, Tab, ...)
// is held and sent to its widget once the read is over. Either way it is
// not lost. Keys for other controls' boxes are dropped as any other input,
// and no key but Escape stops a read begun with the focus outside every
// control.
//
// Threading: the GUI thread only.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <chrono>
#include <memory>
#include <vector>

namespace trovel::qt {

class ControlWidget;

class ReadWatch : public QObject {
  Q_OBJECT

 public:
  // How long a read runs before the wait cursor appears.
  static constexpr std::chrono::milliseconds kBusyAfter{300};

  explicit ReadWatch(QObject* parent = nullptr);
  ~ReadWatch() override;
  ReadWatch(const ReadWatch&) = delete;
  ReadWatch& operator=(const ReadWatch&) = delete;

  // Called by the connection with the time the read has run; true when the
  // user pressed Escape since the watch started looking.
  // REQUIRES: a QApplication exists.
  bool Report(std::chrono::milliseconds elapsed);

  // Whether the wait cursor is up.
  bool Busy() const { return busy_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct HeldKey {
    QPointer<QObject> receiver;
    std::unique_ptr<QEvent> event;
  };

  // Whether a key press for `receiver` stops the read and reaches it.
  bool TypingStops(QObject* receiver) const;
  void Settle();
  void CloseWhenIdle();

  bool watching_ = false;  // the filter is installed
  bool busy_ = false;      // the wait cursor is up
  bool reporting_ = false;
  bool stop_ = false;
  std::vector<HeldKey> held_;
  QPointer<ControlWidget> reader_;  // whose boxes' keys stop the read
  QPointer<QWidget> modal_;         // the modal widget when the read began
  std::vector<QPointer<QWidget>> closing_;
};

}  // namespace trovel::qt
