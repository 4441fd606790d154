// The desktop demo's form as a user meets it: two controls on one window,
// driven with real keys and clicks: access keys, Tab across the form, paging
// in view, captions at the screen's resolution, the window's size shared by
// the controls, unsaved designs and the statements sent to the database.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyleOption>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "apps/cli/SampleDatabase.h"
#include "apps/desktop/FormWindow.h"
#include "apps/desktop/PropertyList.h"
#include "ctltrovel/ctlTrovel.h"
#include "ctltrovel2/ctlTrovel2.h"
#include "qt/Twips.h"
#include "qtwidgets/PropertySheet.h"

namespace trovel::desktop {
namespace {

namespace fs = std::filesystem;

class QtFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("trovel_form_test_" + std::to_string(QCoreApplication::applicationPid()));
    fs::create_directories(dir);
    fs::copy_file(fs::path(TROVEL_SOURCE_DIR) / "apps/demo/demo.form.json", dir / "demo.form.json",
                  fs::copy_options::overwrite_existing);
    if (!fs::exists(dir / "sample.db")) cli::CreateSampleDatabase((dir / "sample.db").string());
  }
  void TearDown() override {
    window.reset();
    fs::remove_all(dir);
  }

  void Open(FormWindow::Mode mode) {
    window = std::make_unique<FormWindow>(host, forms::FormFile::Load((dir / "demo.form.json").string()), mode);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
  ctlTrovel& Clientes() { return dynamic_cast<ctlTrovel&>(window->Controls().at(0)->control()); }
  ctlTrovel2& Articulos() { return dynamic_cast<ctlTrovel2&>(window->Controls().at(1)->control()); }
  template <class T>
  T* In(int control, const char* name) {
    T* view = window->Controls().at(control)->findChild<T*>(name);
    EXPECT_NE(view, nullptr) << name;
    return view;
  }
  // "control.widget" for a control's view, the widget's name otherwise.
  static QString Where(const QWidget* w) {
    if (!w) return "(none)";
    const auto* control = qobject_cast<const qt::ControlWidget*>(w->parentWidget());
    return control ? control->objectName() + "." + w->objectName() : w->objectName();
  }
  // The statements in the log, and the other lines.
  QStringList LogLines(bool sql) {
    QStringList out;
    for (const QString& line : window->Log()->toPlainText().split('\n'))
      if (!line.isEmpty() && line.startsWith("sql: ") == sql) out << line;
    return out;
  }
  // Answers the next message box with `button` once it is open, keeping its text.
  void Answer(QMessageBox::StandardButton button) {
    QTimer::singleShot(0, [this, button] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      asked = box->text();
      box->button(button) ? box->button(button)->click() : box->accept();
    });
  }

  qt::QtHost host;
  fs::path dir;
  std::unique_ptr<FormWindow> window;
  QString asked;
};

TEST_F(QtFormTest, AccessKeysActOnTheControlHoldingTheFocusAndVerSqlShowsTheStatements) {
  Open(FormWindow::Mode::Run);
  auto alt = [](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier); };
  alt(Qt::Key_L);
  EXPECT_TRUE(LogLines(true).isEmpty());  // "Ver SQL" is off by default
  window->VerSql()->setChecked(true);
  In<QWidget>(0, "txtNombre")->setFocus();
  for (int i = 0; i < 3; ++i) alt(Qt::Key_L);  // each time the customers, never the articles
  ASSERT_EQ(LogLines(true).size(), 3);
  for (const QString& line : LogLines(true))
    EXPECT_TRUE(line.contains("from clientes", Qt::CaseInsensitive)) << line.toStdString();

  QTest::mouseClick(In<QPushButton>(1, "cmdLeer"), Qt::LeftButton);
  ASSERT_EQ(LogLines(true).size(), 4);
  EXPECT_TRUE(LogLines(true).last().contains("from articulos", Qt::CaseInsensitive));
  alt(Qt::Key_S);  // the articles leave; the customers do not
  ASSERT_EQ(LogLines(false).size(), 1);
  EXPECT_TRUE(LogLines(false)[0].startsWith("ctlArticulos.evtsalir")) << LogLines(false)[0].toStdString();
  // The focus on a widget of the window's own: the first control answers.
  window->Log()->setFocus();
  alt(Qt::Key_L);
  ASSERT_EQ(LogLines(true).size(), 5);
  EXPECT_TRUE(LogLines(true).last().contains("from clientes", Qt::CaseInsensitive));
}

// Tab and Shift+Tab run through the whole form; a control keeps its designed
// order inside (hidden widgets and disabled buttons skipped), and the focused
// view shows its focus mark, also after a message box has closed.
TEST_F(QtFormTest, TabAndShiftTabRunAcrossTheForm) {
  Open(FormWindow::Mode::Run);
  EXPECT_EQ(host.FocusedWidget(), &Clientes().txtCodigo);
  // Before a read the customers' buttons are all enabled, the articles' next
  // and select buttons are not, and their hidden cell editor is skipped.
  const QStringList forward = {
      "ctlClientes.txtNombre", "ctlClientes.txtcol3",  "ctlClientes.txtcol4",   "ctlClientes.cmdLeer",
      "ctlClientes.cmdSiguiente", "ctlClientes.cmdSeleccionar", "ctlClientes.cmdSalir", "ctlClientes.grdDatos",
      "ctlArticulos.grdDatos", "ctlArticulos.cmdLeer", "ctlArticulos.cmdSalir", "verSql", "log",
      "ctlClientes.txtCodigo"};
  auto shown = [] {
    QStyleOption option;
    option.initFrom(QApplication::focusWidget());
    return (option.state & QStyle::State_HasFocus) && (option.state & QStyle::State_KeyboardFocusChange);
  };
  for (const bool back : {false, true}) {
    QStringList visited;
    for (int i = 0; i < forward.size(); ++i) {
      QTest::keyClick(QApplication::focusWidget(), back ? Qt::Key_Backtab : Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
      visited << Where(QApplication::focusWidget());
      EXPECT_TRUE(shown()) << visited.last().toStdString();
      if (auto* grid = qobject_cast<QTableView*>(QApplication::focusWidget())) {  // its current cell is marked
        EXPECT_TRUE(grid->currentIndex().isValid()) << visited.last().toStdString();
      }
    }
    QStringList expected = forward;
    if (back) {  // the same stops the other way round, back to the first box
      expected.removeLast();
      std::reverse(expected.begin(), expected.end());
      expected << "ctlClientes.txtCodigo";
    }
    EXPECT_EQ(visited.join(" ").toStdString(), expected.join(" ").toStdString()) << (back ? "Shift+Tab" : "Tab");
  }
  EXPECT_EQ(host.FocusedWidget(), &Clientes().txtCodigo);

  // A search that finds nothing shows its message; the focus comes back, marked.
  QTest::keyClicks(QApplication::focusWidget(), "ZZZ");
  Answer(QMessageBox::Ok);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_L, Qt::AltModifier);
  EXPECT_EQ(asked, "No existen registros");
  EXPECT_EQ(Where(QApplication::focusWidget()), "ctlClientes.cmdLeer");
  EXPECT_TRUE(shown());
}

// A pass with the keyboard alone, listening as a screen reader does: every
// stop of the Tab order says what it is, a search is read, paged and picked
// with access keys, Tab and arrows, and the row picked is the one the grid
// reports as its current cell.
TEST_F(QtFormTest, AKeyboardAndScreenReaderPassOfTheDemo) {
  Open(FormWindow::Mode::Run);
  auto name = [](QWidget* w) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(QAccessible::Name) : QString();
  };
  QStringList heard;
  for (int i = 0; i < 14; ++i) {
    QWidget* at = QApplication::focusWidget();
    heard << Where(at) + "=" + name(at);
    EXPECT_FALSE(name(at).isEmpty()) << Where(at).toStdString();
    QTest::keyClick(at, Qt::Key_Tab);
  }
  EXPECT_EQ(heard.mid(0, 5).join(" ").toStdString(),
            "ctlClientes.txtCodigo=Código ctlClientes.txtNombre=Nombre ctlClientes.txtcol3=Ciudad "
            "ctlClientes.txtcol4=Alta ctlClientes.cmdLeer=Leer");
  EXPECT_TRUE(heard.contains("ctlClientes.grdDatos=Resultados")) << heard.join(" ").toStdString();
  EXPECT_TRUE(heard.contains("log=Registro")) << heard.join(" ").toStdString();
  // The controls' buttons of one caption are told apart by their control.
  QAccessibleInterface* leer = QAccessible::queryAccessibleInterface(In<QPushButton>(1, "cmdLeer"));
  ASSERT_NE(leer->parent(), nullptr);
  EXPECT_EQ(leer->parent()->text(QAccessible::Name), "ctlArticulos");

  // Back in the first box: read, page on, go to the grid, move down, pick.
  ASSERT_EQ(Where(QApplication::focusWidget()), "ctlClientes.txtCodigo");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_L, Qt::AltModifier);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_I, Qt::AltModifier);
  QCoreApplication::processEvents();
  auto* grid = In<QTableView>(0, "grdDatos");
  while (QApplication::focusWidget() != grid) {
    QWidget* before = QApplication::focusWidget();
    QTest::keyClick(before, Qt::Key_Tab);
    ASSERT_NE(QApplication::focusWidget(), before);
  }
  QTest::keyClick(grid, Qt::Key_Down);
  QAccessibleInterface* current = QAccessible::queryAccessibleInterface(grid)->focusChild();
  ASSERT_NE(current, nullptr);
  ASSERT_NE(current->tableCellInterface(), nullptr);
  EXPECT_EQ(current->tableCellInterface()->rowIndex(), 52);  // the block's second row
  const QString told = current->text(QAccessible::Name);
  QTest::keyClick(grid, Qt::Key_Return);
  const QStringList events = LogLines(false);
  ASSERT_FALSE(events.isEmpty());
  EXPECT_TRUE(events.last().startsWith("ctlClientes.evtSeleccionar(" + told + ",")) << events.last().toStdString();
}

// The demo's filter boxes stand over the grid columns they filter, each
// starting where its column starts.
TEST_F(QtFormTest, TheFilterBoxesStandOverTheirColumns) {
  Open(FormWindow::Mode::Run);
  auto* grid = In<QTableView>(0, "grdDatos");
  const char* boxes[] = {"txtCodigo", "txtNombre", "txtcol3", "txtcol4"};
  for (int c = 1; c < 4; ++c) {
    QWidget* box = In<QWidget>(0, boxes[c]);
    const int column_left = grid->viewport()->mapTo(window->Controls().at(0), QPoint(grid->columnViewportPosition(c), 0)).x();
    EXPECT_NEAR(box->x(), column_left, 2) << boxes[c];
  }
}

// After a page press the new block's first row is at the top and is the
// model's current row, the one highlighted; a first read starts at the top.
TEST_F(QtFormTest, APagePressBringsTheNewBlockIntoView) {
  Open(FormWindow::Mode::Run);
  for (int c = 0; c < 2; ++c) {
    SCOPED_TRACE(c);
    auto* grid = In<QTableView>(c, "grdDatos");
    const FlexGrid& model = c == 0 ? Clientes().grdDatos : Articulos().grdDatos;
    QTest::mouseClick(In<QPushButton>(c, "cmdLeer"), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(grid->rowAt(0), 0);
    const int first = grid->model()->rowCount();
    QTest::mouseClick(In<QPushButton>(c, "cmdSiguiente"), Qt::LeftButton);
    QCoreApplication::processEvents();
    ASSERT_GT(grid->model()->rowCount(), first + 10);
    EXPECT_EQ(grid->rowAt(0), first);
    EXPECT_EQ(model.Row(), first + 1);
    EXPECT_EQ(grid->currentIndex().row(), first);
  }
}

// Every caption of both controls and of the "Campos" page shows whole in the
// fonts the host picks, at the resolution this run has (96 dots per inch, or
// QT_FONT_DPI's), while the geometry in twips stays as designed.
TEST_F(QtFormTest, CaptionsShowWholeAtThisResolution) {
  Open(FormWindow::Mode::Run);
  const int dpi = qEnvironmentVariableIsSet("QT_FONT_DPI") ? qEnvironmentVariableIntValue("QT_FONT_DPI") : 96;
  qt::PropertySheet sheet(host, Clientes(), window.get());
  sheet.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&sheet));
  QWidget* panels[] = {window->Controls()[0], window->Controls()[1], sheet.findChild<qt::ModelPanel*>()};
  EXPECT_EQ(std::lround(panels[2]->logicalDpiX() * panels[2]->devicePixelRatioF()), dpi);
  int labels = 0, buttons = 0;
  for (QWidget* panel : panels) {
    for (QLabel* label : panel->findChildren<QLabel*>()) {
      const QFontMetrics metrics(label->font());
      const QRect need = metrics.boundingRect(QRect(0, 0, label->width(), 1000), Qt::TextWordWrap, label->text());
      EXPECT_LE(need.width(), label->width()) << label->text().toStdString();
      EXPECT_LE(need.height() - metrics.descent(), label->height()) << label->text().toStdString();
      ++labels;
    }
    for (QPushButton* button : panel->findChildren<QPushButton*>()) {
      const QString caption = QString(button->text()).remove('&');
      const QFontMetrics metrics(button->font());
      EXPECT_LE(metrics.horizontalAdvance(caption) + 8, button->width()) << caption.toStdString();
      EXPECT_LE(16 + 2 + metrics.height(), button->height()) << caption.toStdString();
      EXPECT_EQ(button->width(), qt::ToPixels(850, panel));
      ++buttons;
    }
  }
  EXPECT_EQ(labels, 14);
  EXPECT_EQ(buttons, 8);
  EXPECT_EQ(sheet.findChild<QLabel*>("Label7")->width(), qt::ToPixels(600, panels[2]));
}

TEST_F(QtFormTest, TheControlsShareTheWindowAndKeepTheirButtonsWhole) {
  Open(FormWindow::Mode::Run);
  QSignalSpy messages(&host, &qt::QtHost::messageShown);
  for (const QSize size : {QSize(1400, 900), QSize(700, 500), QSize(200, 150)}) {
    SCOPED_TRACE(size.width());
    window->resize(size);
    QCoreApplication::processEvents();
    qt::ControlWidget* controls[] = {window->Controls()[0], window->Controls()[1]};
    EXPECT_NEAR(controls[0]->width(), controls[1]->width(), 2);
    EXPECT_EQ(controls[0]->height(), controls[1]->height());
    EXPECT_GT(controls[0]->width() * 2, window->width() * 3 / 4);  // together they fill the width
    EXPECT_NEAR(Clientes().grdDatos.Width(), qt::ToTwips(controls[0]->width(), controls[0]) - 2 * 165, 1);
    for (qt::ControlWidget* control : controls)
      for (QPushButton* button : control->findChildren<QPushButton*>())
        EXPECT_TRUE(control->rect().contains(button->geometry())) << button->objectName().toStdString();
  }
  EXPECT_EQ(messages.count(), 0);
}

// Closing a design with unsaved changes asks first; the title marks them; a
// Boolean property is chosen from True and False.
TEST_F(QtFormTest, ClosingAnUnsavedDesignAsksFirst) {
  const fs::path form = dir / "demo.form.json";
  auto saved_sql = [&] { return forms::FormFile::Load(form.string()).controls.at(0).properties->value("SentenciaSQL", ""); };
  const std::string original = saved_sql();
  const struct {
    QMessageBox::StandardButton answer;
    bool closed;
    bool saved;
  } cases[] = {{QMessageBox::Cancel, false, false}, {QMessageBox::Discard, true, false}, {QMessageBox::Save, true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    Open(FormWindow::Mode::Design);
    EXPECT_TRUE(window->windowTitle().contains("[*]"));
    EXPECT_TRUE(window->windowTitle().contains("(SQLite sample.db)")) << window->windowTitle().toStdString();
    EXPECT_FALSE(window->isWindowModified());
    Clientes().SentenciaSQL("select codigo, nombre from clientes");
    EXPECT_TRUE(window->isWindowModified());
    asked.clear();
    Answer(c.answer);
    window->close();
    EXPECT_EQ(asked, "¿Guardar los cambios?");
    EXPECT_EQ(window->isVisible(), !c.closed);
    EXPECT_EQ(saved_sql(), c.saved ? "select codigo, nombre from clientes" : original);
  }
  EXPECT_FALSE(window->isWindowModified());
  asked.clear();
  Open(FormWindow::Mode::Design);
  window->Select(1);
  QTableWidget* table = window->findChild<PropertyList*>()->table();
  QComboBox* choice = nullptr;
  for (int r = 0; r < table->rowCount(); ++r)
    if (table->item(r, 0)->text() == "UCaseFiltro") choice = qobject_cast<QComboBox*>(table->cellWidget(r, 1));
  ASSERT_NE(choice, nullptr);
  EXPECT_EQ(choice->currentText(), "True");
  QTest::keyClick(choice, Qt::Key_Down);
  EXPECT_FALSE(Articulos().UCaseFiltro());
  EXPECT_EQ(choice->currentText(), "False");
  EXPECT_TRUE(window->isWindowModified());
  // Opening another form asks as well, then replaces the window.
  Answer(QMessageBox::Discard);
  window->OpenForm(QString::fromStdString(form.string()));
  EXPECT_EQ(asked, "¿Guardar los cambios?");
  EXPECT_FALSE(window->isVisible());
  std::unique_ptr<QWidget> opened;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (qobject_cast<FormWindow*>(w) && w != window.get() && w->isVisible()) opened.reset(w);
  ASSERT_NE(opened, nullptr);
  EXPECT_FALSE(opened->isWindowModified());
}

// Without a display the demo says so and ends with status 1, instead of
// letting Qt abort.
TEST(DemoProgramTest, WithoutADisplayItSaysSoAndExitsWithOne) {
  const std::string command =
      std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ") + TROVEL_DEMO_BINARY + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  char buffer[512];
  while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
  const int status = pclose(pipe);
  ASSERT_TRUE(WIFEXITED(status)) << out;
  EXPECT_EQ(WEXITSTATUS(status), 1) << out;
  EXPECT_NE(out.find("no hay pantalla"), std::string::npos) << out;
}

}  // namespace
}  // namespace trovel::desktop
