// Design mode of the desktop demo: selecting a control, the property list,
// the "Campos" sheet with its apply button, resizing with the mouse, saving.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "apps/desktop/DesignFrame.h"
#include "apps/desktop/FormWindow.h"
#include "apps/desktop/PropertyList.h"
#include "qtwidgets/ColumnsEditor.h"
#include "qtwidgets/PropertySheet.h"
#include "ctltrovel/ctlTrovel.h"

namespace trovel::desktop {
namespace {

namespace fs = std::filesystem;

class QtDesignTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = fs::temp_directory_path() /
           ("trovel_design_test_" + std::to_string(QCoreApplication::applicationPid()) + ".form.json");
    std::ofstream(path) << R"({"controls": [{"name": "ctlA", "class": "ctlTrovel", "width": 5280, "height": 4905}]})";
    window = std::make_unique<FormWindow>(host, forms::FormFile::Load(path.string()), FormWindow::Mode::Design);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    control = dynamic_cast<ctlTrovel*>(&window->Controls().at(0)->control());
    ASSERT_NE(control, nullptr);
  }
  void TearDown() override {
    window.reset();
    fs::remove(path);
  }

  qt::QtHost host;
  fs::path path;
  std::unique_ptr<FormWindow> window;
  ctlTrovel* control = nullptr;
};

TEST_F(QtDesignTest, PropertyListEditsByNameAndShowsHelp) {
  auto* list = window->findChild<PropertyList*>();
  ASSERT_NE(list, nullptr);
  QTableWidget* table = list->table();
  ASSERT_GT(table->rowCount(), 30);
  ASSERT_NE(table->item(0, 0), nullptr);
  int row = -1;
  for (int r = 0; r < table->rowCount(); ++r)
    if (table->item(r, 0)->text() == "SentenciaSQL") row = r;
  ASSERT_GE(row, 0);
  // Every property of the description is listed, in interface order.
  EXPECT_EQ(table->item(0, 0)->text(), "MaxLength1");
  table->setCurrentCell(row, 1);
  EXPECT_EQ(list->help()->text(), "Sentencia SQL con que se cargan los datos en la cuadricula");
  table->item(row, 1)->setText("select codigo from clientes");
  EXPECT_EQ(control->SentenciaSQL(), "select codigo from clientes");
  // A value the control refuses is reported and the list shows the old one.
  int numcol = -1;
  for (int r = 0; r < table->rowCount(); ++r)
    if (table->item(r, 0)->text() == "TipoC1") numcol = r;
  ASSERT_GE(numcol, 0);
  // The refusal is shown in a message box, which the test closes.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) box->accept();
  });
  closer.start(10);
  table->item(numcol, 1)->setText("7");
  EXPECT_EQ(control->TipoCampo1(), "TEX");
  EXPECT_EQ(table->item(numcol, 1)->text(), "0");
}

TEST_F(QtDesignTest, CamposSheetAppliesOnlyAfterAnEdit) {
  control->TipoCampo2("FEC");
  qt::PropertySheet sheet(host, *control, window.get());
  sheet.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&sheet));
  auto* tabs = sheet.findChild<QTabWidget*>();
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(tabs->tabText(0), "Campos");
  EXPECT_FALSE(sheet.applyButton()->isEnabled());
  EXPECT_EQ(sheet.findChild<QComboBox*>("cmbTipoCampo2")->currentText(), "FEC");

  auto* campo3 = sheet.findChild<QLineEdit*>("txtN_campo3");
  ASSERT_NE(campo3, nullptr);
  campo3->setFocus();
  QTest::keyClicks(campo3, "ciudad");
  EXPECT_TRUE(sheet.applyButton()->isEnabled());
  EXPECT_EQ(control->N_Campo3(), "");  // nothing is written before the apply
  QTest::mouseClick(sheet.applyButton(), Qt::LeftButton);
  EXPECT_EQ(control->N_Campo3(), "ciudad");
  EXPECT_EQ(control->TipoCampo2(), "FEC");
  EXPECT_FALSE(sheet.applyButton()->isEnabled());

  // The tab "Búsqueda" takes part in the same apply.
  ASSERT_EQ(tabs->count(), 2);
  EXPECT_EQ(tabs->tabText(1), "Búsqueda");
  tabs->setCurrentIndex(1);
  auto* buscar = sheet.findChild<QCheckBox*>("chkBuscarAlEscribir");
  auto* pausa = sheet.findChild<QSpinBox*>("spnPausaBusqueda");
  ASSERT_NE(buscar, nullptr);
  ASSERT_NE(pausa, nullptr);
  EXPECT_FALSE(buscar->isChecked());
  EXPECT_EQ(pausa->value(), 250);
  buscar->setFocus();
  QTest::keyClick(buscar, Qt::Key_Space);
  pausa->setFocus();
  pausa->selectAll();
  QTest::keyClicks(pausa, "400");
  EXPECT_TRUE(sheet.applyButton()->isEnabled());
  EXPECT_FALSE(control->BuscarAlEscribir());
  QTest::mouseClick(sheet.applyButton(), Qt::LeftButton);
  EXPECT_TRUE(control->BuscarAlEscribir());
  EXPECT_EQ(control->PausaBusqueda(), 400);
  EXPECT_EQ(control->N_Campo3(), "ciudad");
}

TEST_F(QtDesignTest, ResizingWithTheMouseRunsTheLayoutAndSaveKeepsIt) {
  auto* frame = window->findChild<DesignFrame*>();
  ASSERT_NE(frame, nullptr);
  const float grid_width = control->grdDatos.Width();
  const QPoint corner(frame->width() - 3, frame->height() - 3);
  QTest::mousePress(frame, Qt::LeftButton, {}, corner);
  QMouseEvent move(QEvent::MouseMove, corner + QPoint(90, 30), frame->mapToGlobal(corner + QPoint(90, 30)),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(frame, &move);
  QTest::mouseRelease(frame, Qt::LeftButton, {}, corner + QPoint(90, 30));
  EXPECT_GT(control->grdDatos.Width(), grid_width + 1000);

  control->N_Campo1("codigo");
  window->SaveForm();
  forms::FormFile saved = forms::FormFile::Load(path.string());
  ASSERT_TRUE(saved.controls.at(0).properties.has_value());
  EXPECT_EQ((*saved.controls[0].properties)["N_Campo1"], "codigo");
  EXPECT_GT(saved.controls[0].width, 5280 + 1000);
}

TEST_F(QtDesignTest, AFailedSaveKeepsTheFormFile) {
  auto bytes = [this] { return std::string(std::istreambuf_iterator<char>(std::ifstream(path).rdbuf()), {}); };
  const std::string before = bytes();
  control->SentenciaSQL("select \xff from clientes");
  try {
    window->SaveForm();
    ADD_FAILURE() << "the save went through";
  } catch (const std::exception& failure) {
    EXPECT_NE(std::string(failure.what()).find("the property SentenciaSQL of ctlA is not valid UTF-8"),
              std::string::npos)
        << failure.what();
  }
  EXPECT_EQ(bytes(), before);
}

// At design time a ctlTrovel2 shows the columns its form describes, and
// those "Columnas..." leaves, a row added there under the next key, typed
// in with the keyboard.
TEST(QtDesignColumnsTest, ACtlTrovel2ShowsItsColumnsAtDesignTime) {
  qt::QtHost host;
  const fs::path form = fs::temp_directory_path() /
                        ("trovel_columns_test_" + std::to_string(QCoreApplication::applicationPid()) + ".form.json");
  std::ofstream(form) << R"({"controls": [{"name": "ctlB", "class": "ctlTrovel2", "width": 5280, "height": 4905,
      "properties": {}, "columns": [{"key": "0", "field": "codigo", "caption": "Código"},
                  {"key": "1", "field": "descripcion", "caption": "Descripción"}]}]})";
  // Whatever stays open is closed, so that a failure ends the test.
  QTimer watchdog;
  QObject::connect(&watchdog, &QTimer::timeout, [] {
    if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      ADD_FAILURE() << "left open: " << modal->windowTitle().toStdString();
      if (auto* box = qobject_cast<QMessageBox*>(modal)) ADD_FAILURE() << box->text().toStdString();
      modal->reject();
    }
  });
  watchdog.start(2000);
  FormWindow window(host, forms::FormFile::Load(form.string()), FormWindow::Mode::Design);
  fs::remove(form);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  auto* grid = window.findChild<QTableView*>("grdDatos");
  ASSERT_NE(grid, nullptr);
  auto captions = [grid] {
    QStringList out;
    for (int c = 0; c < grid->model()->columnCount(); ++c) out << grid->model()->headerData(c, Qt::Horizontal).toString();
    return out;
  };
  EXPECT_EQ(captions(), (QStringList{"Código", "Descripción"}));

  QTimer::singleShot(0, [] {
    auto* editor = qobject_cast<qt::ColumnsEditor*>(QApplication::activeModalWidget());
    ASSERT_NE(editor, nullptr);
    for (QPushButton* b : editor->findChildren<QPushButton*>())
      if (b->text() == "&Agregar") QTest::mouseClick(b, Qt::LeftButton);
    QTableWidget* table = editor->table();
    ASSERT_EQ(table->rowCount(), 3);
    EXPECT_EQ(table->item(2, qt::ColumnsEditor::kKey)->text(), "2");
    for (auto [column, text] : {std::pair{qt::ColumnsEditor::kField, "precio"}, {qt::ColumnsEditor::kCaption, "Precio"}}) {
      const QRect cell = table->visualRect(table->model()->index(2, column));
      QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
      QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
      auto* cell_editor = table->viewport()->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
      ASSERT_NE(cell_editor, nullptr);
      QTest::keyClicks(cell_editor, text);
      QTest::keyClick(cell_editor, Qt::Key_Return);
      QApplication::processEvents();  // the editor commits and closes
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    for (QPushButton* b : editor->findChildren<QPushButton*>())
      if (b->text() == "Aceptar") QTest::mouseClick(b, Qt::LeftButton);
  });
  window.OpenColumnsEditor();
  EXPECT_EQ(captions().join("|").toStdString(), "Código|Descripción|Precio");
  EXPECT_TRUE(window.isWindowModified());
}

// A form that parses but does not load whole opens with what loaded, and
// the demo shows what did not in one message box naming the form file.
TEST(QtFormLoadTest, WhatDoesNotLoadIsShownInOneMessageBox) {
  qt::QtHost host;
  const fs::path form = fs::temp_directory_path() /
                        ("trovel_load_test_" + std::to_string(QCoreApplication::applicationPid()) + ".form.json");
  std::ofstream(form) << R"({"database": "missing.db", "controls": [
      {"name": "ctlA", "class": "ctlTrovel", "properties": {"NumCol": 4294967298}},
      {"name": "ctlB", "class": "ctlTrovel", "properties": {"Nmcol": 3}}]})";
  FormWindow window(host, forms::FormFile::Load(form.string()), FormWindow::Mode::Run);
  fs::remove(form);
  ASSERT_EQ(window.LoadFailures().size(), 3);
  EXPECT_TRUE(window.LoadFailures()[0].contains("el archivo no existe"));
  EXPECT_TRUE(window.LoadFailures()[1].startsWith("ctlA: ") && window.LoadFailures()[1].contains("no cabe en un Long"));
  EXPECT_TRUE(window.LoadFailures()[2].startsWith("ctlB: ") && window.LoadFailures()[2].contains("\"Nmcol\""));
  EXPECT_EQ(window.Controls().size(), 2u);
  QString shown;
  QTimer::singleShot(0, [&shown] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = box->text();
      box->accept();
    }
  });
  window.ShowLoadFailures();
  EXPECT_TRUE(shown.contains(QString::fromStdString(form.string()))) << shown.toStdString();
  EXPECT_TRUE(shown.contains(window.LoadFailures().join("\n"))) << shown.toStdString();
}

}  // namespace
}  // namespace trovel::desktop