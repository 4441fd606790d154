// A search in the Qt window whose server stops answering (its backend paused
// with SIGSTOP, as a hung server or a cut network looks from the client):
// the window repaints and takes Escape all along; Escape ends the read
// within the cancel's grace, and without it the time limit does; the next
// read works once a server answers.
#include <gtest/gtest.h>
#include <signal.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <chrono>

#include "connectors/ReadRefusal.h"
#include "ctltrovel/ctlTrovel.h"
#include "qt/ControlWidget.h"
#include "qt/QtHost.h"
#include "qt/ReadWatch.h"
#include "tests/ContractDatabase.h"

namespace trovel::qt {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr char kApplication[] = "trovel_qt_pausa";

// Counts the paint events of one widget.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

class QtPausedServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    try {
      servers = PgServers::Load();
      address = ContractDatabase::Make("postgresql", "qt_pausa") + " application_name=" + kApplication;
    } catch (const std::exception& e) {
      FAIL() << e.what();
    }
  }
  void TearDown() override {
    if (paused > 0) ::kill(paused, SIGCONT);
  }

  // Pauses the backend of the form's session.
  void PauseTheBackend() {
    std::string sql = std::string("select pid from pg_stat_activity where application_name = '") + kApplication +
                      "' and pid <> pg_backend_pid()";
    bool flag = false;
    auto look = OpenConnection(servers.primary)->OpenCursor(sql, flag);
    ASSERT_FALSE(look->AtEnd());
    paused = static_cast<int>(look->Fields().ItemAt(0).ToLong());
    look->MoveNext();
    ASSERT_TRUE(look->AtEnd()) << "the form has one session";
    ASSERT_EQ(::kill(paused, SIGSTOP), 0);
  }
  void ResumeTheBackend() {
    ::kill(paused, SIGCONT);
    paused = 0;
  }

  PgServers servers;
  std::string address;
  int paused = 0;
};

TEST_F(QtPausedServerTest, TheWindowRepaintsAndTakesEscapeWhileTheServerIsPaused) {
  QtHost host;
  ReadWatch watch;
  ConnectionSettings settings;
  settings.read_time_limit = std::chrono::seconds(2);
  settings.read_progress = [&watch](milliseconds elapsed) { return watch.Report(elapsed); };
  auto owned = std::make_unique<ctlTrovel>(host);
  ctlTrovel* control = owned.get();
  ControlWidget widget(host, std::move(owned));
  control->SentenciaSQL("select codigo, nombre from clientes");
  control->N_Campo1("codigo");
  control->N_Campo2("nombre");
  control->OrderBy("codigo");
  control->glbDb(OpenConnection(address, settings));
  widget.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
  auto* grid = widget.findChild<QTableView*>("grdDatos");
  auto* codigo = widget.findChild<QLineEdit*>("txtCodigo");
  ASSERT_TRUE(grid && codigo);
  QStringList shown;
  QObject::connect(&host, &QtHost::messageShown, [&shown](const QString&, const QString& text) {
    shown << text;
    QTimer::singleShot(0, [] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->accept();
    });
  });
  control->p_leer();
  ASSERT_EQ(grid->model()->rowCount(), 51);

  // While a read waits: something asks the grid to repaint every 100 ms,
  // and (in the first case) the user presses Escape after 600 ms.
  PaintCounter counter(grid->viewport());
  struct Case {
    const char* name;
    bool escape;
    std::string message;
    milliseconds bound;
  } cases[] = {
      {"Escape", true, ReadRefusal::Stopped(), milliseconds(600 + 2000 + 700)},
      {"time limit", false, ReadRefusal::TimedOut(std::chrono::seconds(2)), milliseconds(2000 + 2000 + 700)},
  };
  // C001 to C009: every row comes in the first block, so a read holds
  // nothing afterwards and the next one starts on an idle session.
  control->txtCodigo.SetText("C00%");
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    shown.clear();
    control->p_leer();  // a read that works, on the session there is now
    ASSERT_EQ(grid->model()->rowCount(), 9);
    ASSERT_TRUE(shown.isEmpty()) << shown.join("; ").toStdString();
    PauseTheBackend();
    QTimer repaint;
    QObject::connect(&repaint, &QTimer::timeout, [&] { grid->viewport()->update(); });
    repaint.start(100);
    if (k.escape) {
      QTimer::singleShot(600, [codigo] {
        QCoreApplication::postEvent(codigo, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
      });
    }
    counter.paints = 0;
    const auto start = Clock::now();
    control->p_leer();
    const auto took = Clock::now() - start;
    repaint.stop();
    EXPECT_EQ(shown, QStringList{QString::fromStdString(k.message)});
    EXPECT_LT(took, k.bound);
    // About one paint per 100 ms of the wait; a frozen window paints none.
    EXPECT_GT(counter.paints, std::chrono::duration_cast<milliseconds>(took).count() / 100 / 2);
    std::printf("paused server, %s: the read returned after %lld ms with %d repaints\n", k.name,
                static_cast<long long>(std::chrono::duration_cast<milliseconds>(took).count()), counter.paints);
    ResumeTheBackend();
  }
  shown.clear();
  control->p_leer();
  EXPECT_TRUE(shown.isEmpty());
  EXPECT_EQ(grid->model()->rowCount(), 9);
}

}  // namespace
}  // namespace trovel::qt
