// A search that follows the keys in the Qt host, driven by real key and
// close events: the pause runs on the event loop, a key typed during a read
// reaches the box and stops the read, and only the answer to the final text
// is shown; Escape and a close of the window stop the read and lose nothing;
// a key for another control leaves the read going.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "connectors/ReadRefusal.h"
#include "connectors/SqliteConnection.h"
#include "ctltrovel/ctlTrovel.h"
#include "qt/ControlWidget.h"
#include "qt/QtHost.h"
#include "qt/ReadWatch.h"
#include "tests/RecordingConnection.h"

namespace trovel::qt {
namespace {

class QtTypingTest : public ::testing::Test {
 protected:
  QtTypingTest() {
    settings.read_progress = [this](std::chrono::milliseconds elapsed) {
      ++reports;
      if (during_read) during_read();
      return watch.Report(elapsed);
    };
    db = std::make_shared<SqliteConnection>(":memory:", settings);
    db->Execute("create table clientes (codigo text, nombre text)");
    auto owned = std::make_unique<ctlTrovel>(host);
    control = owned.get();
    widget = std::make_unique<ControlWidget>(host, std::move(owned));
    control->SentenciaSQL("select codigo, nombre from clientes");
    control->N_Campo1("codigo");
    control->N_Campo2("nombre");
    control->OrderBy("codigo");
    control->glbDb(std::make_shared<RecordingConnection>(db, log));
    QObject::connect(&host, &QtHost::messageShown, [this](const QString&, const QString& text) {
      shown << text;
      if (on_message) on_message();
      QTimer::singleShot(0, [] {
        if (auto* message = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) message->accept();
      });
    });
    widget->show();
    box = widget->findChild<QLineEdit*>("txtNombre");
    grid = widget->findChild<QTableView*>("grdDatos");
  }

  // Rows that SQLite sorts whole before the first one comes (no index on
  // nombre): a read of them reports before its first row.
  void MakeReadsSlow() {
    db->Execute(
        "with recursive k(i) as (select 1 union all select i + 1 from k where i < 300000)"
        " insert into clientes select printf('C%06d', i), 'NOMBRE ' || (300000 - i) from k");
    control->OrderBy("nombre");
  }
  // Types "nombre 1" into the name box, with the search following the keys;
  // `first_report` runs at the first report of the read the pause starts.
  void TypeIntoSlowSearch(std::function<void()> first_report) {
    MakeReadsSlow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box->window()));
    control->BuscarAlEscribir(true);
    box->setFocus();
    QTest::keyClicks(box, "nombre 1");
    during_read = [this, first_report, done = false]() mutable {
      if (!std::exchange(done, true)) first_report();
    };
  }

  int GridRows() const { return grid->model()->rowCount(); }
  QString Cell(int row, int col) const { return grid->model()->index(row, col).data().toString(); }

  QtHost host;
  ReadWatch watch;
  ConnectionSettings settings;
  std::function<void()> during_read;
  std::function<void()> on_message;
  int reports = 0;
  std::shared_ptr<SqliteConnection> db;
  std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
  ctlTrovel* control = nullptr;
  std::unique_ptr<ControlWidget> widget;
  QLineEdit* box = nullptr;
  QTableView* grid = nullptr;
  QStringList shown;
};

TEST_F(QtTypingTest, KeysAtEightPerSecondShowOnlyTheAnswerToTheFinalText) {
  db->Execute("insert into clientes values ('C1', 'GARCIA ANA'), ('C2', 'GARBO LUIS'), ('C3', 'GARCES PEDRO'),"
              " ('C4', 'GOMEZ EVA')");
  ASSERT_TRUE(QTest::qWaitForWindowExposed(widget.get()));
  ASSERT_NE(box, nullptr);
  ASSERT_NE(grid, nullptr);
  control->BuscarAlEscribir(true);
  box->setFocus();
  for (char c : std::string("gar")) {
    QTest::keyClick(box, c);
    QTest::qWait(125);
  }
  QTest::qWait(400);
  ASSERT_FALSE(log->statements.empty());
  EXPECT_NE(log->statements.back().find("nombre like 'GAR%'"), std::string::npos) << log->statements.back();
  EXPECT_EQ(GridRows(), 3);
  EXPECT_EQ(QApplication::focusWidget(), box);
  EXPECT_EQ(box->cursorPosition(), 3);

  QTest::keyClick(box, 'c');
  QTest::qWait(400);
  EXPECT_NE(log->statements.back().find("nombre like 'GARC%'"), std::string::npos) << log->statements.back();
  ASSERT_EQ(GridRows(), 2);
  EXPECT_EQ(Cell(0, 1), "GARCIA ANA");
  EXPECT_EQ(Cell(1, 1), "GARCES PEDRO");
  EXPECT_EQ(box->text(), "GARC");
  EXPECT_EQ(QApplication::focusWidget(), box);
  EXPECT_TRUE(shown.isEmpty()) << shown.join("; ").toStdString();
}

TEST_F(QtTypingTest, AKeyDuringAReadReachesTheBoxStopsTheReadAndTheNextPauseReadsAgain) {
  bool posted = false;
  TypeIntoSlowSearch([&] {
    posted = true;
    // A real key press, queued while the database works.
    QCoreApplication::postEvent(box, new QKeyEvent(QEvent::KeyPress, Qt::Key_2, Qt::NoModifier, "2"));
  });
  QTest::qWait(400);
  ASSERT_TRUE(posted) << "the read ended before its first report";
  EXPECT_EQ(box->text(), "NOMBRE 12");
  EXPECT_EQ(control->txtNombre.Text(), "NOMBRE 12");
  // The stopped read said nothing, and the next pause read the new text.
  QTest::qWait(1500);
  EXPECT_TRUE(shown.isEmpty()) << shown.join("; ").toStdString();
  ASSERT_GE(log->statements.size(), 2u);
  EXPECT_NE(log->statements[0].find("like 'NOMBRE 1%'"), std::string::npos) << log->statements[0];
  EXPECT_NE(log->statements.back().find("like 'NOMBRE 12%'"), std::string::npos) << log->statements.back();
  ASSERT_EQ(GridRows(), 51);
  EXPECT_EQ(Cell(0, 1), "NOMBRE 12");
  EXPECT_EQ(QApplication::focusWidget(), box);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(QtTypingTest, EscapeStopsTheReadAndLeavesTheBoxAsTyped) {
  TypeIntoSlowSearch([this] {
    QCoreApplication::postEvent(box, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
  });
  QTest::keyClick(box, Qt::Key_Left);
  ASSERT_TRUE(QTest::qWaitFor([this] { return !shown.isEmpty(); }, 10000));
  EXPECT_EQ(shown, QStringList{QString::fromStdString(ReadRefusal::Stopped())});
  EXPECT_EQ(box->text(), "NOMBRE 1");
  EXPECT_EQ(box->cursorPosition(), 7);
  EXPECT_EQ(QApplication::focusWidget(), box);
  // The grid shows none of the rows read before the stop, and Escape is no
  // change: no pause reads again.
  EXPECT_EQ(GridRows(), 1);
  EXPECT_EQ(Cell(0, 1), "");
  QTest::qWait(control->PausaBusqueda() + 200);
  EXPECT_EQ(log->statements.size(), 1u);
  EXPECT_EQ(shown.size(), 1);
}

// The close reaches the window's close path after the read and its message
// box: a window deleted on close would take the box, and the control whose
// handler shows it, with it.
TEST_F(QtTypingTest, ACloseDuringAReadStopsItAndClosesTheWindowAfterwards) {
  widget->setAttribute(Qt::WA_DeleteOnClose);
  const QPointer<ControlWidget> window = widget.release();
  // QWindow::close goes the way of the window's close button.
  TypeIntoSlowSearch([&window] { QTimer::singleShot(0, [&window] { window->windowHandle()->close(); }); });
  bool open_under_box = false;
  on_message = [&] { QTimer::singleShot(0, [&] { open_under_box = window && window->isVisible(); }); };
  ASSERT_TRUE(QTest::qWaitFor([this] { return !shown.isEmpty(); }, 10000));
  EXPECT_EQ(shown, QStringList{QString::fromStdString(ReadRefusal::Stopped())});
  EXPECT_TRUE(open_under_box);
  EXPECT_TRUE(QTest::qWaitFor([&window] { return window.isNull(); }, 2000));
  EXPECT_EQ(log->statements.size(), 1u);
}

TEST_F(QtTypingTest, AKeyForAnotherControlsBoxLeavesTheReadGoing) {
  QWidget form;
  auto* layout = new QHBoxLayout(&form);
  ControlWidget* first = widget.release();
  layout->addWidget(first);
  first->show();
  auto owned = std::make_unique<ctlTrovel>(host);
  owned->BuscarAlEscribir(true);
  layout->addWidget(new ControlWidget(host, std::move(owned)));
  auto* other_box = form.findChildren<ControlWidget*>().at(1)->findChild<QLineEdit*>("txtNombre");
  form.show();
  TypeIntoSlowSearch([other_box] {
    QCoreApplication::postEvent(other_box, new QKeyEvent(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x"));
  });
  ASSERT_TRUE(QTest::qWaitFor([this] { return GridRows() == 51; }, 10000));
  EXPECT_EQ(Cell(0, 1), "NOMBRE 1");
  EXPECT_EQ(other_box->text(), "");
  EXPECT_EQ(log->statements.size(), 1u);
  EXPECT_TRUE(shown.isEmpty()) << shown.join("; ").toStdString();
  EXPECT_EQ(QApplication::focusWidget(), box);
}

}  // namespace
}  // namespace trovel::qt
