// A slow read in the Qt host: the wait cursor appears, Escape stops the read
// with its message, other input meanwhile reaches no handler, and the control
// reads on afterwards.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "connectors/ReadRefusal.h"
#include "connectors/SqliteConnection.h"
#include "ctltrovel/ctlTrovel.h"
#include "qt/ControlWidget.h"
#include "qt/QtHost.h"
#include "qt/ReadWatch.h"

namespace trovel::qt {
namespace {

TEST(QtReadWatchTest, EscapeStopsASlowReadUnderTheWaitCursor) {
  QtHost host;
  ReadWatch watch;
  bool wait_cursor_seen = false;
  ConnectionSettings settings;
  settings.read_progress = [&](std::chrono::milliseconds elapsed) {
    const bool stop = watch.Report(elapsed);
    const QCursor* cursor = QApplication::overrideCursor();
    wait_cursor_seen |= watch.Busy() && cursor && cursor->shape() == Qt::WaitCursor;
    return stop;
  };
  auto db = std::make_shared<SqliteConnection>(":memory:", settings);
  db->Execute("create table clientes (codigo text, nombre text); insert into clientes values ('C1', 'Ana'), ('C2', 'Luis');"
              "create table secretos (clave text); insert into secretos values ('s1')");
  auto owned = std::make_unique<ctlTrovel>(host);
  ctlTrovel* control = owned.get();
  ControlWidget widget(host, std::move(owned));
  // An endless join, as a careless base statement or a typed filter makes.
  control->SentenciaSQL("with recursive k(i) as (select 1 union all select i + 1 from k) select codigo, nombre from clientes, k");
  control->N_Campo1("codigo");
  control->N_Campo2("nombre");
  control->OrderBy("codigo");
  control->glbDb(db);
  widget.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));

  QStringList shown;
  QObject::connect(&host, &QtHost::messageShown, [&shown](const QString&, const QString& text) {
    shown << text;
    QTimer::singleShot(0, [] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->accept();
    });
  });
  auto* codigo = widget.findChild<QLineEdit*>("txtCodigo");
  ASSERT_NE(codigo, nullptr);
  // Waiting in the queue when the read starts: the typed key must reach no
  // handler, the Escape must stop the read.
  QCoreApplication::postEvent(codigo, new QKeyEvent(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x"));
  QCoreApplication::postEvent(codigo, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
  control->p_leer();

  EXPECT_EQ(shown, QStringList{QString::fromStdString(ReadRefusal::Stopped())});
  EXPECT_TRUE(wait_cursor_seen);
  EXPECT_EQ(control->txtCodigo.Text(), "");
  QCoreApplication::processEvents();
  EXPECT_FALSE(watch.Busy());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  control->SentenciaSQL("select codigo, nombre from clientes");
  control->p_leer();
  EXPECT_EQ(shown.size(), 1);
  auto* grid = widget.findChild<QTableView*>("grdDatos");
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(grid->model()->rowCount(), 2);
  EXPECT_EQ(grid->model()->index(0, 0).data().toString(), "C1");

  // A paste goes through a number box's keystroke filter: its digits are
  // left. Text set by the program is not filtered; the number check is what
  // keeps it out of the statement.
  control->TipoCampo1("NUM");
  const QString pasted = "0 or 1=1 union select clave, clave from secretos";
  QApplication::clipboard()->setText(pasted);
  codigo->setFocus();
  QTest::keyClick(codigo, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(control->txtCodigo.Text(), "011");
  control->txtCodigo.SetText(pasted.toStdString());
  control->p_leer();
  ASSERT_EQ(shown.size(), 2);
  EXPECT_TRUE(shown[1].contains("no es un número")) << shown[1].toStdString();
  for (int r = 0; r < grid->model()->rowCount(); ++r) EXPECT_NE(grid->model()->index(r, 0).data().toString(), "s1");
}

}  // namespace
}  // namespace trovel::qt
