// ctlTrovel2 in a real Qt window: filters typed into the grid through the
// editor laid over the cell, read with the mouse, selected with a double-click.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "connectors/SqliteConnection.h"
#include "ctltrovel2/ctlTrovel2.h"
#include "platform/MemoryPropertyBag.h"
#include "qt/ControlWidget.h"
#include "qt/QtHost.h"

namespace trovel::qt {
namespace {

class QtCtlTrovel2Test : public ::testing::Test {
 protected:
  void SetUp() override {
    db->Execute("create table art (cod text, precio real, fecha date);");
    std::string sql = "begin;";
    for (int i = 1; i <= 60; ++i)
      sql += "insert into art values ('R" + std::to_string(100 + i) + "', " + std::to_string(i * 50.25) + ", '20" +
             (i % 2 ? "19" : "21") + "-03-15');";
    db->Execute(sql + "commit;");
    MemoryPropertyBag bag;
    auto owned = std::make_unique<ctlTrovel2>(host);
    control = owned.get();
    widget = std::make_unique<ControlWidget>(host, std::move(owned), &bag);
    control->Columns()->Add("0", "cod", "art", ctvTEXT, "Código", 6);
    control->Columns()->Add("1", "precio", "art", ctvNUMBER, "Precio", 10)->Format("#,##0.00");
    control->Columns()->Add("2", "fecha", "art", ctvDATE, "Fecha", 10);
    control->SentenciaSQL("select cod, precio, fecha from art");
    control->OrderBy("cod");
    control->glbDb(db);
    widget->resize(widget->sizeHint());
    widget->show();
    widget->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(widget.get()));
    grid = widget->findChild<QTableView*>("grdDatos");
    editor = widget->findChild<QLineEdit*>("txtEdit");
    ASSERT_TRUE(grid && editor);
  }

  // Types `text` as a user would: into whatever has the keyboard focus.
  void Type(const QString& text) {
    for (QChar c : text) QTest::keyClicks(QApplication::focusWidget(), QString(c));
  }
  void Enter() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }

  QtHost host;
  std::shared_ptr<SqliteConnection> db = std::make_shared<SqliteConnection>(":memory:");
  ctlTrovel2* control = nullptr;
  std::unique_ptr<ControlWidget> widget;
  QTableView* grid = nullptr;
  QLineEdit* editor = nullptr;
};

// After "Siguiente" the grid shows the new page from its first row, and
// that row is the highlighted one: Enter and "Seleccion" pick it, Down moves
// on from it.
TEST_F(QtCtlTrovel2Test, AfterANextPressTheRowOnScreenIsTheRowPicked) {
  QSignalSpy events(widget.get(), &ControlWidget::eventRaised);
  QTest::mouseClick(widget->findChild<QPushButton*>("cmdLeer"), Qt::LeftButton);
  QTest::mouseClick(widget->findChild<QPushButton*>("cmdSiguiente"), Qt::LeftButton);
  QApplication::processEvents();  // the view shows the page once it is all in
  ASSERT_EQ(grid->model()->rowCount(), 60);
  EXPECT_EQ(grid->currentIndex().row(), 51);
  EXPECT_TRUE(grid->selectionModel()->isSelected(grid->currentIndex()));
  EXPECT_TRUE(grid->viewport()->rect().contains(grid->visualRect(grid->currentIndex())));
  EXPECT_EQ(QApplication::focusWidget(), grid);  // the press ends in the grid
  QTest::keyClick(grid, Qt::Key_Return);
  ASSERT_EQ(events.count(), 1);
  EXPECT_EQ(control->Columns()->Item(1)->Value(), "R152");

  QTest::mouseClick(widget->findChild<QPushButton*>("cmdLeer"), Qt::LeftButton);  // back to the filter row
  QTest::mouseClick(widget->findChild<QPushButton*>("cmdLeer"), Qt::LeftButton);
  QTest::keyClick(grid, Qt::Key_I, Qt::AltModifier);
  QApplication::processEvents();
  QTest::keyClick(grid, Qt::Key_Down);
  EXPECT_EQ(grid->currentIndex().row(), 52);
  QTest::mouseClick(widget->findChild<QPushButton*>("cmdSeleccionar"), Qt::LeftButton);
  ASSERT_EQ(events.count(), 2);
  EXPECT_EQ(control->Columns()->Item(1)->Value(), "R153");
}

// The cell editor keeps the habits of any Qt line edit while each character
// that arrives, pasted ones too, goes through the column's rules.
TEST_F(QtCtlTrovel2Test, TheCellEditorKeepsLineEditHabitsAndTheColumnRules) {
  grid->setFocus();
  QTest::keyClick(grid, Qt::Key_R);
  Type("12");
  QTest::keyClick(editor, Qt::Key_Home, Qt::ShiftModifier);
  EXPECT_EQ(control->txtEdit.SelLength(), 3);
  Type("a");  // in place of the selection, upper-cased
  EXPECT_EQ(editor->text(), "A");
  EXPECT_EQ(control->txtEdit.Text(), "A");
  QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(editor->text(), "R12");
  EXPECT_EQ(control->txtEdit.Text(), "R12");
  Enter();
  EXPECT_EQ(grid->model()->index(0, 0).data().toString(), "R12");

  QApplication::clipboard()->setText("1.5x-2");
  QTest::keyClick(grid, Qt::Key_1);  // the number column: digits and "-" pass
  ASSERT_EQ(QApplication::focusWidget(), editor);
  QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(editor->text(), "115-2");
  EXPECT_EQ(control->txtEdit.Text(), "115-2");
  QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(editor, Qt::Key_Backspace);
  EXPECT_EQ(control->txtEdit.Text(), "");
  Enter();
  EXPECT_EQ(grid->model()->index(0, 1).data().toString(), "");
}

// The cell editor is named after the column whose filter it holds, the
// buttons after their captions as they change, the grid for what it holds.
TEST_F(QtCtlTrovel2Test, TheEditorAndTheButtonsAreNamedForAScreenReader) {
  auto name = [](QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
  EXPECT_EQ(name(grid), "Filtros y resultados");
  grid->setFocus();
  QTest::keyClick(grid, Qt::Key_R);
  EXPECT_EQ(name(editor), "Código");
  EXPECT_EQ(editor->toolTip(), "Código");
  Type("%");
  Enter();
  QTest::keyClick(grid, Qt::Key_5);
  EXPECT_EQ(name(editor), "Precio");
  QTest::keyClick(editor, Qt::Key_Escape);
  auto* leer = widget->findChild<QPushButton*>("cmdLeer");
  EXPECT_EQ(name(leer), "Leer");
  QTest::mouseClick(leer, Qt::LeftButton);
  EXPECT_EQ(name(leer), "Filtro");
  EXPECT_EQ(leer->toolTip(), "Filtro");
}

TEST_F(QtCtlTrovel2Test, FilterRowTypedThroughTheEditorThenReadAndSelected) {
  grid->setFocus();
  QTest::keyClick(grid, Qt::Key_R);  // the first key opens the editor over the cell
  ASSERT_TRUE(editor->isVisible());
  EXPECT_EQ(QApplication::focusWidget(), editor);
  EXPECT_EQ(editor->text(), "R");
  // The editor lies over the filter cell as the grid shows it.
  const QRect cell = grid->visualRect(grid->model()->index(0, 0));
  const QPoint cell_at = grid->viewport()->mapTo(widget.get(), cell.topLeft());
  EXPECT_NEAR(editor->x(), cell_at.x(), 2);
  EXPECT_NEAR(editor->y(), cell_at.y(), 2);
  EXPECT_NEAR(editor->width(), cell.width(), 2);
  Type("1%");
  Enter();
  EXPECT_FALSE(editor->isVisible());
  EXPECT_EQ(grid->model()->index(0, 0).data().toString(), "R1%");
  EXPECT_EQ(control->grdDatos.Col(), 1);
  Type(">1,00");  // the comma is refused in a number column
  Enter();
  Type("<150320");  // completed to a full date
  Enter();
  EXPECT_EQ(grid->model()->index(0, 1).data().toString(), ">100");
  EXPECT_EQ(grid->model()->index(0, 2).data().toString(), "<15/03/2020");

  QTest::mouseClick(widget->findChild<QPushButton*>("cmdLeer"), Qt::LeftButton);
  EXPECT_EQ(widget->findChild<QPushButton*>("cmdLeer")->text(), "&Filtro");
  // Codes R101..R160 with a price above 100 and dated 2019: odd i from 3.
  ASSERT_EQ(grid->model()->rowCount(), 29);
  EXPECT_EQ(grid->model()->index(0, 0).data().toString(), "R103");
  EXPECT_EQ(grid->model()->index(0, 1).data().toString(), "150.75");
  EXPECT_EQ(grid->model()->index(0, 2).data().toString(), "15/03/2019");

  QSignalSpy events(widget.get(), &ControlWidget::eventRaised);
  QRect second = grid->visualRect(grid->model()->index(1, 0));
  QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, second.center());
  ASSERT_EQ(events.count(), 1);
  EXPECT_EQ(events[0][0].toString(), "evtSeleccionar");
  EXPECT_EQ(control->Columns()->Item(Variant(int32_t{1}))->Value(), "R105");
  EXPECT_EQ(control->Columns()->Item(Variant(int32_t{2}))->Value(), "251.25");
}

TEST_F(QtCtlTrovel2Test, AnImpossibleDateIsReportedAndLeavesTheCellEmpty) {
  control->grdDatos.SetCol(2);
  grid->setFocus();
  QString shown;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    shown = box->text();
    box->accept();
  });
  Type("29022001");
  Enter();
  EXPECT_EQ(shown, "Fecha no válido");
  EXPECT_EQ(grid->model()->index(0, 2).data().toString(), "");
  // Escape leaves a cell as it was.
  control->grdDatos.SetCol(0);
  grid->setFocus();
  Type("ZZ");
  QTest::keyClick(editor, Qt::Key_Escape);
  EXPECT_FALSE(editor->isVisible());
  EXPECT_EQ(grid->model()->index(0, 0).data().toString(), "");
  EXPECT_EQ(QApplication::focusWidget(), grid);
}

// A failure that escapes the grid's key handler (a column no column object
// describes) reaches the host's message box; the window carries on.
TEST_F(QtCtlTrovel2Test, AFailureInTheGridsKeyHandlerIsShownAndTheWindowLives) {
  // Each box is answered once open; the host's signal tells what it showed.
  QSignalSpy messages(&host, &QtHost::messageShown);
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      icon = box->icon();
      box->accept();
    }
  });
  answer.start(0);
  const QString not_set = "Variable de objeto o bloque With no establecida: ";
  struct Case {
    std::function<void()> undescribe;
    int col;
    QStringList texts;  // the collection's own box comes first
  };
  const std::vector<Case> cases = {
      // A second "cod" fails after widening the grid by one column.
      {[&] { control->Columns()->Add("3", "cod", "art", ctvTEXT, "Otra", 6); }, 3,
       {"El subíndice está fuera del intervalo: posición de columna 4 de 3", not_set + "ninguna columna describe la columna de la cuadrícula 3"}},
      {[&] { control->Quit(); }, 0, {not_set + "el control no tiene colección de columnas"}},
  };
  for (const Case& c : cases) {
    c.undescribe();
    messages.clear();
    icon = QMessageBox::NoIcon;
    control->grdDatos.SetCol(c.col);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_A);
    QStringList texts;
    for (const QList<QVariant>& m : messages) {
      EXPECT_EQ(m[0].toString(), "Mensaje");
      texts << m[1].toString();
    }
    EXPECT_EQ(texts, c.texts);
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(widget->isVisible());
  }
}

}  // namespace
}  // namespace trovel::qt
