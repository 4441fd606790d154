// ReadWatch: what the Qt host does while a database read keeps the event loop
// waiting. A connection calls Report now and then during a read (a
// connector's progress hook, ConnectionSettings::read_progress); past 300 ms
// the watch shows the wait cursor and starts looking at the user's input:
// Escape stops the read, every other key press, click and close request is
// dropped, so that no handler of the form runs and nothing re-enters the
// control meanwhile. Painting and timers go on. The cursor comes back when
// the event loop next runs outside a read: after the read, or when its
// message box opens.
//
// A search that follows the keys (a control with BuscarAlEscribir) must not
// make the user wait: while the focus is in a text box of such a control,
// the watch looks at input from the read's first report, and a key press
// for that box stops the read. A key that edits the text (a character,
// Backspace, Delete, a move of the caret) goes on to the box at once, so
// the control hears of the change; any other key (Enter, Tab, ...) is held
// and sent to its widget once the read is over. Either way it is not lost.
//
// Threading: the GUI thread only.
#pragma once

#include <QObject>
#include <QPointer>
#include <chrono>
#include <memory>
#include <vector>

namespace trovel::qt {

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
  static bool TypingStops(QObject* receiver);
  void Settle();

  bool watching_ = false;  // the filter is installed
  bool busy_ = false;      // the wait cursor is up
  bool reporting_ = false;
  bool stop_ = false;
  std::vector<HeldKey> held_;
};

}  // namespace trovel::qt
