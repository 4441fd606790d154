// ctlTrovel in a real Qt window, driven with real key and mouse events.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include "connectors/SqliteConnection.h"
#include "ctltrovel/ctlTrovel.h"
#include "qt/ControlWidget.h"
#include "qt/QtHost.h"
#include "qt/Twips.h"

namespace trovel::qt {
namespace {

class QtCtlTrovelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db->Execute("create table clientes (codigo text, nombre text, alta date);");
    std::string sql = "begin;";
    for (int i = 1; i <= 120; ++i)
      sql += "insert into clientes values ('C" + std::to_string(1000 + i) + "', 'Nombre " + std::to_string(i) +
             "', '2001-12-25');";
    db->Execute(sql + "commit;");
    auto owned = std::make_unique<ctlTrovel>(host);
    control = owned.get();
    widget = std::make_unique<ControlWidget>(host, std::move(owned));
    control->SentenciaSQL("select codigo, nombre, alta from clientes");
    control->N_Campo1("codigo");
    control->N_Campo2("nombre");
    control->N_Campo3("alta");
    control->NumCol(3);
    control->OrderBy("codigo");
    control->glbDb(db);
    widget->resize(widget->sizeHint());
    widget->show();
    widget->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(widget.get()));
  }

  template <class T>
  T* View(const char* name) {
    T* view = widget->findChild<T*>(name);
    EXPECT_NE(view, nullptr) << name;
    return view;
  }

  // Closes the next message box once it is open, remembering its text.
  void CloseNextMessageBox() {
    QTimer::singleShot(0, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      shown_text = box->text();
      shown_icon = box->icon();
      box->accept();
    });
  }

  QtHost host;
  std::shared_ptr<SqliteConnection> db = std::make_shared<SqliteConnection>(":memory:");
  ctlTrovel* control = nullptr;
  std::unique_ptr<ControlWidget> widget;
  QString shown_text;
  QMessageBox::Icon shown_icon = QMessageBox::NoIcon;
};

TEST_F(QtCtlTrovelTest, TypedFiltersReadPageAndSelect) {
  auto* codigo = View<QLineEdit>("txtCodigo");
  auto* nombre = View<QLineEdit>("txtNombre");
  auto* grid = View<QTableView>("grdDatos");
  QSignalSpy events(widget.get(), &ControlWidget::eventRaised);

  codigo->setFocus();
  QTest::keyClicks(codigo, "c1.");  // a text column upper-cases what is typed
  QTest::keyClick(codigo, Qt::Key_Backspace);
  QTest::keyClicks(codigo, "%");
  EXPECT_EQ(control->txtCodigo.Text(), "C1%");
  EXPECT_EQ(codigo->text(), "C1%");
  QTest::keyClick(codigo, Qt::Key_Return);  // Enter moves on
  EXPECT_EQ(QApplication::focusWidget(), nombre);
  EXPECT_EQ(host.FocusedWidget(), &control->txtNombre);

  QTest::mouseClick(View<QPushButton>("cmdLeer"), Qt::LeftButton);
  EXPECT_EQ(grid->model()->rowCount(), 51);
  EXPECT_EQ(grid->model()->index(0, 0).data().toString(), "C1001");
  EXPECT_EQ(grid->model()->index(0, 2).data().toString(), "25/12/2001");
  EXPECT_TRUE(View<QPushButton>("cmdSiguiente")->isEnabled());

  QTest::mouseClick(View<QPushButton>("cmdSiguiente"), Qt::LeftButton);
  EXPECT_EQ(grid->model()->rowCount(), 102);
  QTest::mouseClick(View<QPushButton>("cmdSiguiente"), Qt::LeftButton);
  EXPECT_EQ(grid->model()->rowCount(), 120);
  EXPECT_FALSE(View<QPushButton>("cmdSiguiente")->isEnabled());

  // A double-click on the third row selects it.
  QRect third = grid->visualRect(grid->model()->index(2, 1));
  QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, third.center());
  ASSERT_EQ(events.count(), 1);
  EXPECT_EQ(events[0][0].toString(), "evtSeleccionar");
  EXPECT_EQ(events[0][1].toStringList(), (QStringList{"C1003", "Nombre 3", "25/12/2001", "", ""}));

  // The access key of "&Leer" reads again; Enter in the grid selects.
  QTest::keyClick(widget.get(), Qt::Key_L, Qt::AltModifier);
  EXPECT_EQ(grid->model()->rowCount(), 51);
  grid->setFocus();
  QTest::keyClick(grid, Qt::Key_Down);
  QTest::keyClick(grid, Qt::Key_Return);
  ASSERT_EQ(events.count(), 2);
  EXPECT_EQ(events[1][1].toStringList().value(0), "C1002");
}

// After "Siguiente" the grid shows the new block from its first row, and
// that row is the highlighted one: the button, Enter and the arrow keys all
// start from it.
TEST_F(QtCtlTrovelTest, AfterANextPressTheRowOnScreenIsTheRowPicked) {
  auto* grid = View<QTableView>("grdDatos");
  QSignalSpy events(widget.get(), &ControlWidget::eventRaised);
  QTest::mouseClick(View<QPushButton>("cmdLeer"), Qt::LeftButton);
  QTest::mouseClick(View<QPushButton>("cmdSiguiente"), Qt::LeftButton);
  QApplication::processEvents();  // the view shows the block once it is all in
  ASSERT_EQ(grid->model()->rowCount(), 102);
  EXPECT_EQ(grid->rowAt(0), 51);  // C1052 at the top
  EXPECT_EQ(grid->currentIndex().row(), 51);
  EXPECT_TRUE(grid->selectionModel()->isSelected(grid->currentIndex()));
  EXPECT_TRUE(grid->viewport()->rect().contains(grid->visualRect(grid->currentIndex())));
  QTest::mouseClick(View<QPushButton>("cmdSeleccionar"), Qt::LeftButton);
  ASSERT_EQ(events.count(), 1);
  EXPECT_EQ(events[0][1].toStringList().value(0), "C1052");

  // Again, with the keyboard alone: the access key pages on, Tab goes on to
  // the grid past the buttons, Down moves on from the block's first row.
  QTest::mouseClick(View<QPushButton>("cmdLeer"), Qt::LeftButton);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_I, Qt::AltModifier);
  QApplication::processEvents();
  while (QApplication::focusWidget() != grid && events.count() == 1) {
    QWidget* before = QApplication::focusWidget();
    QTest::keyClick(before, Qt::Key_Tab);
    ASSERT_NE(QApplication::focusWidget(), before);
  }
  EXPECT_EQ(grid->rowAt(0), 51);
  QTest::keyClick(grid, Qt::Key_Down);
  EXPECT_EQ(grid->currentIndex().row(), 52);
  EXPECT_EQ(control->grdDatos.Row(), 53);
  QTest::keyClick(grid, Qt::Key_Return);
  ASSERT_EQ(events.count(), 2);
  EXPECT_EQ(events[1][1].toStringList().value(0), "C1053");
}

// A filter box keeps the habits of any Qt line edit (select all, Shift with
// the arrows, Home and End, cut, copy, paste, undo) while every character
// that arrives, pasted ones too, still goes through the column's key rules.
TEST_F(QtCtlTrovelTest, LineEditHabitsKeepTheKeyRules) {
  control->TipoCampo2("NUM");
  auto* codigo = View<QLineEdit>("txtCodigo");
  auto* nombre = View<QLineEdit>("txtNombre");
  auto both = [&](QLineEdit* box, const TextBox& model) {
    EXPECT_EQ(box->text().toStdString(), model.Text());
    return model.Text();
  };
  codigo->setFocus();
  QTest::keyClicks(codigo, "abc");
  QTest::keyClick(codigo, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(control->txtCodigo.SelLength(), 3);
  QTest::keyClick(codigo, Qt::Key_Backspace);  // the whole selection goes
  EXPECT_EQ(both(codigo, control->txtCodigo), "");

  QTest::keyClicks(codigo, "abcd");
  QTest::keyClick(codigo, Qt::Key_Home);
  QTest::keyClick(codigo, Qt::Key_Right, Qt::ShiftModifier);
  QTest::keyClick(codigo, Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(control->txtCodigo.SelText(), "AB");
  QTest::keyClicks(codigo, "x");  // upper-cased, and in place of the selection
  EXPECT_EQ(both(codigo, control->txtCodigo), "XCD");
  EXPECT_EQ(control->txtCodigo.SelStart(), 1);
  QTest::keyClick(codigo, Qt::Key_End);
  QTest::keyClick(codigo, Qt::Key_Left, Qt::ShiftModifier);
  QTest::keyClick(codigo, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "D");
  EXPECT_EQ(both(codigo, control->txtCodigo), "XC");
  QTest::keyClick(codigo, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(both(codigo, control->txtCodigo), "XCD");

  // A paste types its characters: upper-cased here, digits only in the
  // number box, whatever the way it comes.
  QApplication::clipboard()->setText("a1-b 2\n");
  QTest::keyClick(codigo, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(codigo, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(both(codigo, control->txtCodigo), "A1-B 2");
  QTest::keyClick(codigo, Qt::Key_Return);  // Enter moves on
  ASSERT_EQ(QApplication::focusWidget(), nombre);
  QTest::keyClick(nombre, Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(both(nombre, control->txtNombre), "12");
  QContextMenuEvent menu_event(QContextMenuEvent::Keyboard, nombre->rect().center(),
                               nombre->mapToGlobal(nombre->rect().center()));
  QApplication::sendEvent(nombre, &menu_event);
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(menu, nullptr);
  auto* paste = menu->findChild<QAction*>("edit-paste");
  ASSERT_NE(paste, nullptr);
  QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(paste).center());
  EXPECT_EQ(both(nombre, control->txtNombre), "1212");
  // Undo takes back what the rules let in, not the clipboard's text.
  QTest::keyClick(nombre, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_NE(nombre->text(), "1212");
  EXPECT_EQ(nombre->text().toStdString(), control->txtNombre.Text());
  EXPECT_FALSE(nombre->text().contains('a'));
}

// Every box and button says what it is, by tooltip and to a screen reader:
// a box by its grid column's caption, a button by its caption without the
// access key. The grid reads out through QAccessible: headers, cells and the
// current cell as the keys move it.
TEST_F(QtCtlTrovelTest, BoxesButtonsAndTheGridAreNamedForAScreenReader) {
  control->GridFormat("<Código|<Nombre|^Alta");
  auto name = [](QWidget* w) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(QAccessible::Name) : QString("(none)");
  };
  const std::pair<const char*, QString> boxes[] = {
      {"txtCodigo", "Código"}, {"txtNombre", "Nombre"}, {"txtcol3", "Alta"}, {"txtcol4", "Columna 4"}};
  for (const auto& [box, caption] : boxes) {
    EXPECT_EQ(name(View<QLineEdit>(box)), caption) << box;
    EXPECT_EQ(View<QLineEdit>(box)->toolTip(), caption) << box;
  }
  const std::pair<const char*, QString> buttons[] = {
      {"cmdLeer", "Leer"}, {"cmdSiguiente", "Siguiente"}, {"cmdSeleccionar", "Seleccion"}, {"cmdSalir", "Salir"}};
  for (const auto& [button, caption] : buttons) {
    EXPECT_EQ(name(View<QPushButton>(button)), caption) << button;
    EXPECT_EQ(View<QPushButton>(button)->toolTip(), caption) << button;
  }
  // The tooltip shows where the mouse rests.
  auto* nombre = View<QLineEdit>("txtNombre");
  QTest::mouseMove(nombre, nombre->rect().center());
  QTRY_VERIFY(QToolTip::isVisible());
  EXPECT_EQ(QToolTip::text(), "Nombre");
  QToolTip::hideText();
  control->GridFormat("Cliente|Razón social");  // the names follow the header
  EXPECT_EQ(name(View<QLineEdit>("txtCodigo")), "Cliente");
  EXPECT_EQ(View<QLineEdit>("txtNombre")->toolTip(), "Razón social");

  auto* grid = View<QTableView>("grdDatos");
  QTest::mouseClick(View<QPushButton>("cmdLeer"), Qt::LeftButton);
  QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->text(QAccessible::Name), "Resultados");
  ASSERT_NE(table->tableInterface(), nullptr);
  EXPECT_EQ(table->tableInterface()->rowCount(), 51);
  EXPECT_EQ(table->tableInterface()->columnDescription(1), "Razón social");
  EXPECT_EQ(table->tableInterface()->cellAt(2, 0)->text(QAccessible::Name), "C1003");
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(0, 0)).center());
  QTest::keyClick(grid, Qt::Key_Down);
  QTest::keyClick(grid, Qt::Key_Right);
  QAccessibleInterface* current = table->focusChild();
  ASSERT_NE(current, nullptr);
  EXPECT_EQ(current->text(QAccessible::Name), "Nombre 2");
  ASSERT_NE(current->tableCellInterface(), nullptr);
  EXPECT_EQ(current->tableCellInterface()->rowIndex(), 1);
  EXPECT_EQ(current->tableCellInterface()->columnIndex(), 1);
  EXPECT_TRUE(current->state().focused);
  EXPECT_TRUE(current->state().selected);
}

// The grid paints each cell on one line in its column's alignment, clipped
// at its edge, the current cell highlighted where a click put it; a cell
// whose text changes shows the new text, not the layout kept of the old.
TEST_F(QtCtlTrovelTest, TheGridPaintsCellsAlignedClippedAndTheCurrentOneHighlighted) {
  control->GridFormat("<Código   |>Nombre                |^Alta         ");
  auto* grid = View<QTableView>("grdDatos");
  QTest::mouseClick(View<QPushButton>("cmdLeer"), Qt::LeftButton);
  control->grdDatos.SetTextMatrix(3, 1, std::string(300, 'W'));  // far wider than its cell
  const QModelIndex clicked = grid->model()->index(0, 0);
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(clicked).center());
  ASSERT_EQ(grid->currentIndex(), clicked);
  QApplication::processEvents();
  const QImage shot = grid->viewport()->grab().toImage();
  const qreal ratio = shot.devicePixelRatio();
  const QColor base = grid->palette().color(QPalette::Base);
  const QColor highlight = grid->palette().color(grid->isActiveWindow() ? QPalette::Active : QPalette::Inactive,
                                                 QPalette::Highlight);
  // The columns of pixels of `rect` (inside its borders) that hold anything but `background`.
  auto inked = [&](const QRect& rect, const QColor& background) {
    std::vector<int> xs;
    for (int x = rect.left() + 1; x < rect.right() - 1; ++x)
      for (int y = rect.top() + 1; y < rect.bottom() - 1; ++y)
        if (shot.pixelColor(QPoint(x, y) * ratio) != background) {
          xs.push_back(x - rect.left());
          break;
        }
    return xs;
  };
  auto cell = [&](int row, int col) { return grid->visualRect(grid->model()->index(row, col)); };
  auto near = [](const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) < 8;
  };
  // Below the text's middle, right of its end: the cell's own background.
  const QPoint spot(cell(0, 0).right() - 3, cell(0, 0).center().y() + 3);
  EXPECT_TRUE(near(shot.pixelColor(spot * ratio), highlight));
  EXPECT_TRUE(near(shot.pixelColor((spot + QPoint(0, cell(0, 0).height())) * ratio), base));
  const std::vector<int> left = inked(cell(1, 0), base), right = inked(cell(1, 1), base);
  ASSERT_FALSE(left.empty());
  ASSERT_FALSE(right.empty());
  EXPECT_LT(left.front(), 8);                        // "C1002" starts at the left
  EXPECT_GT(right.back(), cell(1, 1).width() - 10);  // "Nombre 2" ends at the right
  EXPECT_GT(right.front(), 10);
  // The long name stops at its cell's edge: the date beside it starts where
  // the date of any other row does.
  EXPECT_EQ(inked(cell(2, 2), base).front(), inked(cell(1, 2), base).front());
  // A changed cell shows its new text.
  const QImage before = shot.copy(QRect(cell(4, 1).topLeft() * ratio, cell(4, 1).size() * ratio));
  control->grdDatos.SetTextMatrix(5, 1, "Otro nombre");
  QApplication::processEvents();
  const QImage after = grid->viewport()->grab().toImage();
  EXPECT_NE(after.copy(QRect(cell(4, 1).topLeft() * ratio, cell(4, 1).size() * ratio)), before);
}

TEST_F(QtCtlTrovelTest, AnInvalidDateIsReportedAndPutBack) {
  control->TipoCampo1("FEC");
  auto* codigo = View<QLineEdit>("txtCodigo");
  QSignalSpy messages(&host, &QtHost::messageShown);
  codigo->setFocus();
  QTest::keyClicks(codigo, "31/02/2001x");  // the letter is refused
  EXPECT_EQ(codigo->text(), "31/02/2001");
  CloseNextMessageBox();
  QTest::keyClick(codigo, Qt::Key_Tab);
  ASSERT_EQ(messages.count(), 1);
  EXPECT_EQ(messages[0][0].toString(), "Mensaje");
  EXPECT_EQ(shown_text, "         Fecha no valida\r\nformato de fecha: dd.mm.aaaa");
  EXPECT_EQ(shown_icon, QMessageBox::Information);
  EXPECT_EQ(codigo->text(), "");
  EXPECT_EQ(QApplication::focusWidget(), View<QLineEdit>("txtNombre"));
}

// A character beyond U+FFFF arrives whole, typed in one event or in two
// halves, committed by an input method or pasted, where the column takes any
// letter; a number column refuses it. The caret counts characters, the line
// UTF-16 units; a text beyond the line's own limit of 32767 stays whole.
TEST_F(QtCtlTrovelTest, CharactersBeyondTheKeyCodesArriveWholeOrNotAtAll) {
  control->TipoCampo1("NUM");
  auto* codigo = View<QLineEdit>("txtCodigo");
  auto* nombre = View<QLineEdit>("txtNombre");
  const QString face = QString::fromUtf8("😀"), syllable = QString::fromUtf8("𐀧");
  auto type = [](QWidget* box, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QApplication::sendEvent(box, &press);
  };
  for (QLineEdit* box : {codigo, nombre}) {
    box->setFocus();
    type(box, "1");
    for (QChar half : face) type(box, half);
    type(box, "a");
    type(box, syllable);
    QInputMethodEvent commit;
    commit.setCommitString(face + "b");
    QApplication::sendEvent(box, &commit);
  }
  EXPECT_EQ(control->txtCodigo.Text(), "1");
  EXPECT_EQ(codigo->text(), "1");
  EXPECT_EQ(control->txtNombre.Text(), "1😀A𐀧😀B");
  EXPECT_EQ(nombre->text(), QString::fromUtf8("1😀A𐀧😀B"));
  EXPECT_EQ(std::make_pair(control->txtNombre.SelStart(), nombre->cursorPosition()), std::make_pair(6, 9));
  nombre->setCursorPosition(3);  // after "1😀"
  EXPECT_EQ(control->txtNombre.SelStart(), 2);
  QApplication::clipboard()->setText(syllable);
  QTest::keyClick(nombre, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(control->txtNombre.Text(), "1😀𐀧A𐀧😀B");
  EXPECT_EQ(control->txtNombre.SelStart(), 3);
  for (int i = 0; i < 2; ++i) QTest::keyClick(nombre, Qt::Key_Backspace);
  EXPECT_EQ(control->txtNombre.Text(), "1A𐀧😀B");
  EXPECT_EQ(nombre->text(), QString::fromUtf8("1A𐀧😀B"));
  EXPECT_EQ(std::make_pair(control->txtNombre.SelStart(), nombre->cursorPosition()), std::make_pair(1, 1));

  control->txtNombre.SetText(std::string(40000, 'X'));
  nombre->end(false);
  type(nombre, "y");
  EXPECT_EQ(control->txtNombre.Text(), std::string(40000, 'X') + "Y");
  EXPECT_EQ(nombre->text().size(), 40001);
}

TEST_F(QtCtlTrovelTest, TheViewsShowTheModels) {
  control->N_Campo4("");
  EXPECT_FALSE(View<QLineEdit>("txtcol4")->isVisible());
  EXPECT_TRUE(View<QLineEdit>("txtcol3")->isVisible());
  control->p_Boton_Leer();
  EXPECT_FALSE(View<QPushButton>("cmdSeleccionar")->isEnabled());
  EXPECT_EQ(View<QPushButton>("cmdSalir")->text(), "&Salir");
  auto* grid = View<QTableView>("grdDatos");
  EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), "Código");
  // The layout runs on every resize: the grid fills the width between margins.
  widget->resize(600, 400);
  EXPECT_FLOAT_EQ(control->grdDatos.Width(), ToTwips(600, widget.get()) - 2 * 165);
  EXPECT_NEAR(grid->width(), 600 - 2 * ToPixels(165, widget.get()), 1);
  // Nothing found: the message box with the critical icon.
  control->SentenciaSQL("select codigo, nombre, alta from clientes where codigo = 'none'");
  CloseNextMessageBox();
  QTest::mouseClick(View<QPushButton>("cmdLeer"), Qt::LeftButton);
  EXPECT_EQ(shown_text, "No existen registros");
  EXPECT_EQ(shown_icon, QMessageBox::Critical);
}

// A grid without columns has no cell for the arrow keys to go to: they do
// nothing, and the window carries on.
TEST_F(QtCtlTrovelTest, ArrowKeysInAGridWithoutColumnsDoNothing) {
  control->NumCol(0);
  auto* grid = View<QTableView>("grdDatos");
  QSignalSpy messages(&host, &QtHost::messageShown);
  grid->setFocus();
  for (Qt::Key key : {Qt::Key_Right, Qt::Key_Left, Qt::Key_Down, Qt::Key_Up, Qt::Key_End, Qt::Key_PageDown})
    QTest::keyClick(grid, key);
  EXPECT_EQ(messages.count(), 0);
  EXPECT_EQ(control->grdDatos.Row(), 1);
  EXPECT_EQ(control->grdDatos.Col(), 0);
  EXPECT_TRUE(widget->isVisible());
}

// A form that deletes the control in its handler of either event, as one
// closing on "Salir" does: the views touch nothing of it afterwards.
TEST_F(QtCtlTrovelTest, TheFormMayDeleteTheControlInItsEventHandler) {
  QWidget form;
  form.resize(widget->size());
  form.show();
  const std::vector<std::function<void(ControlWidget&)>> triggers = {
      [](ControlWidget& w) { QTest::mouseClick(w.findChild<QPushButton*>("cmdSalir"), Qt::LeftButton); },
      [](ControlWidget& w) { QTest::mouseClick(w.findChild<QPushButton*>("cmdSeleccionar"), Qt::LeftButton); },
      [](ControlWidget& w) { QTest::keyClick(w.findChild<QTableView*>("grdDatos"), Qt::Key_Return); },
      [](ControlWidget& w) {
        auto* grid = w.findChild<QTableView*>("grdDatos");
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(1, 0)).center());
      }};
  for (size_t i = 0; i < triggers.size(); ++i) {
    auto owned = std::make_unique<ctlTrovel>(host);
    ctlTrovel& c = *owned;
    QPointer<ControlWidget> embedded = new ControlWidget(host, std::move(owned), nullptr, &form);
    c.SentenciaSQL("select codigo, nombre from clientes");
    c.N_Campo1("codigo");
    c.N_Campo2("nombre");
    c.glbDb(db);
    embedded->resize(embedded->sizeHint());
    embedded->show();
    c.p_leer();
    QStringList heard;
    QObject::connect(embedded, &ControlWidget::eventRaised, &form, [&](const QString& event) {
      heard << event;
      delete embedded;
    });
    triggers[i](*embedded);
    EXPECT_TRUE(embedded.isNull()) << i;
    EXPECT_EQ(heard.size(), 1) << i;
    EXPECT_TRUE(form.isVisible());
  }
}

}  // namespace
}  // namespace trovel::qt
