// The Qt Designer plugin as Designer and QUiLoader use it: loaded from the
// build's plugin folder, its two widgets and their XML; a checked-in .ui
// rebuilt by QUiLoader; the task menus of a form open in Designer's own
// form editor, whose saved form keeps what they changed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QExtensionManager>
#include <QFile>
#include <QLineEdit>
#include <QMetaEnum>
#include <QMetaProperty>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableView>
#include <QUndoStack>
#include <QPluginLoader>
#include <QPushButton>
#include <QTest>
#include <QTableWidget>
#include <QTimer>
#include <QUiLoader>
#include <QXmlStreamReader>
#include <QtDesigner/QDesignerComponents>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>
#include <QtDesigner/QDesignerFormWindowManagerInterface>
#include <QtDesigner/QDesignerIntegration>
#include <QtDesigner/QDesignerPropertySheetExtension>
#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>

namespace {

const QString kPluginDir = TROVEL_PLUGIN_DIR;  // plugins/ of the build tree
const QString kForm = TROVEL_TEST_FORM;        // tests/forms/buscar.ui

QDesignerCustomWidgetCollectionInterface* Plugin() {
  static QPluginLoader loader(kPluginDir + "/designer/libtroveldesigner.so");
  return qobject_cast<QDesignerCustomWidgetCollectionInterface*>(loader.instance());
}

// Widgets of a loaded form by name; the plugin's classes are its own copy,
// so they are reached through the meta-object system, as a form's code does.
QWidget* Child(QWidget* form, const char* name) {
  QWidget* w = form->findChild<QWidget*>(name);
  EXPECT_NE(w, nullptr) << name;
  return w;
}

std::unique_ptr<QWidget> Load(const QByteArray& ui) {
  QUiLoader loader;
  loader.addPluginPath(kPluginDir + "/designer");
  QBuffer buffer;
  buffer.setData(ui);
  std::unique_ptr<QWidget> form(loader.load(&buffer));
  EXPECT_NE(form, nullptr) << loader.errorString().toStdString();
  return form;
}

void Press(QWidget* dialog, const QString& button) {
  for (QPushButton* b : dialog->findChildren<QPushButton*>())
    if (b->text() == button) return QTest::mouseClick(b, Qt::LeftButton);
  ADD_FAILURE() << "no button " << button.toStdString();
}

QByteArray CheckedInForm() {
  QFile file(kForm);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  return file.readAll();
}

TEST(DesignerPluginTest, OffersBothControlsUnderTrovel) {
  QDesignerCustomWidgetCollectionInterface* plugin = Plugin();
  ASSERT_NE(plugin, nullptr);
  const QList<QDesignerCustomWidgetInterface*> widgets = plugin->customWidgets();
  ASSERT_EQ(widgets.size(), 2);
  const QStringList expected[] = {{"trovel::qt::TrovelWidget", "ctlTrovel", "qtwidgets/TrovelWidget.h"},
                                  {"trovel::qt::Trovel2Widget", "ctlTrovel2", "qtwidgets/Trovel2Widget.h"}};
  for (int i = 0; i < 2; ++i) {
    QDesignerCustomWidgetInterface* w = widgets[i];
    EXPECT_EQ(w->name(), expected[i][0]);
    EXPECT_EQ(w->group(), "Trovel");
    EXPECT_EQ(w->includeFile(), expected[i][2]);
    EXPECT_FALSE(w->icon().isNull());
    EXPECT_FALSE(w->isContainer());
    // The XML of a new instance: the widget box's name, the class, and only
    // untranslated text properties.
    QXmlStreamReader xml(w->domXml());
    QStringList classes, untranslated;
    QString display;
    while (!xml.atEnd()) {
      if (xml.readNext() != QXmlStreamReader::StartElement) continue;
      if (xml.name() == u"ui") display = xml.attributes().value("displayname").toString();
      if (xml.name() == u"widget") classes << xml.attributes().value("class").toString();
      if (xml.name() == u"stringpropertyspecification" && xml.attributes().value("notr") == u"true")
        untranslated << xml.attributes().value("name").toString();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(display, expected[i][1]);
    EXPECT_EQ(classes, QStringList{expected[i][0]});
    EXPECT_TRUE(untranslated.contains("SentenciaSQL"));
    std::unique_ptr<QWidget> made(w->createWidget(nullptr));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(QString(made->metaObject()->className()), expected[i][0]);
    for (const QString& name : untranslated)
      EXPECT_GE(made->metaObject()->indexOfProperty(name.toUtf8()), 0) << name.toStdString();
  }
}

TEST(DesignerPluginTest, QUiLoaderRebuildsTheControlsOfAForm) {
  std::unique_ptr<QWidget> form = Load(CheckedInForm());
  ASSERT_NE(form, nullptr);
  QWidget* clientes = Child(form.get(), "ctlClientes");
  ASSERT_NE(clientes, nullptr);
  EXPECT_EQ(clientes->property("SentenciaSQL").toString(), "select codigo, nombre, alta from clientes");
  EXPECT_EQ(clientes->property("TipoCampo3").toString(), "FEC");
  EXPECT_EQ(clientes->property("NumCol").toInt(), 3);
  EXPECT_EQ(clientes->property("Width3").toDouble(), 1200.0);
  EXPECT_EQ(clientes->property("N_Campo2").toString(), "nombre");
  QWidget* articulos = Child(form.get(), "ctlArticulos");
  ASSERT_NE(articulos, nullptr);
  EXPECT_FALSE(articulos->property("UCaseFiltro").toBool());
  // The columns were added when the form loaded: the grid has their count.
  EXPECT_EQ(articulos->property("ColumnsCount").toInt(), 3);
  EXPECT_TRUE(articulos->property("Columnas").toString().contains("#,##0.00"));
}

// Designer's own form editor, with the plugin loaded from the build tree.
class DesignerFormTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    QCoreApplication::addLibraryPath(kPluginDir);
    QDesignerComponents::initializeResources();
    core = QDesignerComponents::createFormEditor(nullptr);
    new QDesignerIntegration(core, core);  // becomes the editor's integration
    QDesignerComponents::createTaskMenu(core, core);
    QDesignerComponents::initializePlugins(core);
  }

  void SetUp() override {
    form = core->formWindowManager()->createFormWindow(nullptr);
    ASSERT_TRUE(form->setContents(QString::fromUtf8(CheckedInForm())));
  }
  void TearDown() override { delete form; }

  // Triggers the task-menu entry of `widget`, with `edit` run on its dialog.
  void Trigger(QWidget* widget, const QString& entry, std::function<void(QDialog*)> edit) {
    auto* menu = qt_extension<QDesignerTaskMenuExtension*>(core->extensionManager(), widget);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->taskActions().size(), 1);
    QAction* action = menu->taskActions()[0];
    ASSERT_EQ(action->text(), entry);
    bool ran = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      edit(dialog);
      ran = true;
    });
    action->trigger();
    EXPECT_TRUE(ran);
  }

  static inline QDesignerFormEditorInterface* core = nullptr;
  QDesignerFormWindowInterface* form = nullptr;
};

TEST_F(DesignerFormTest, CamposWritesThePageIntoTheSavedForm) {
  QWidget* clientes = Child(form->mainContainer(), "ctlClientes");
  ASSERT_NE(clientes, nullptr);
  // Designer's property editor offers the search settings of both controls.
  for (const char* name : {"ctlClientes", "ctlArticulos"}) {
    auto* properties =
        qt_extension<QDesignerPropertySheetExtension*>(core->extensionManager(), Child(form->mainContainer(), name));
    ASSERT_NE(properties, nullptr);
    for (const char* property : {"BuscarAlEscribir", "PausaBusqueda"}) {
      const int index = properties->indexOf(property);
      EXPECT_TRUE(index >= 0 && properties->isVisible(index)) << name << "." << property;
    }
  }
  Trigger(clientes, "Campos...", [](QDialog* sheet) {
    // The page was filled from the control.
    auto* campo3 = sheet->findChild<QLineEdit*>("txtN_campo3");
    ASSERT_NE(campo3, nullptr);
    EXPECT_EQ(campo3->text(), "alta");
    auto* campo5 = sheet->findChild<QLineEdit*>("txtN_campo5");
    campo5->setFocus();
    QTest::keyClicks(campo5, "importe");
    auto* campo4 = sheet->findChild<QLineEdit*>("txtN_campo4");
    campo4->setFocus();
    QTest::keyClicks(campo4, "ciudad");
    auto* tipo2 = sheet->findChild<QComboBox*>("cmbTipoCampo2");
    tipo2->setCurrentIndex(1);
    emit tipo2->activated(1);
    Press(sheet, "Aceptar");
  });
  EXPECT_EQ(clientes->property("N_Campo5").toString(), "importe");
  EXPECT_TRUE(form->isDirty());
  // Saved and loaded again: the form keeps the page's values.
  std::unique_ptr<QWidget> reloaded = Load(form->contents().toUtf8());
  QWidget* again = Child(reloaded.get(), "ctlClientes");
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->property("N_Campo5").toString(), "importe");
  EXPECT_EQ(again->property("N_Campo3").toString(), "alta");
  EXPECT_EQ(again->property("N_Campo4").toString(), "ciudad");
  EXPECT_EQ(again->property("TipoCampo2").toString(), "NUM");
  EXPECT_EQ(again->property("SentenciaSQL").toString(), "select codigo, nombre, alta from clientes");
}

TEST_F(DesignerFormTest, ColumnasEditsTheColumnsSavedWithTheForm) {
  QWidget* articulos = Child(form->mainContainer(), "ctlArticulos");
  ASSERT_NE(articulos, nullptr);
  Trigger(articulos, "Columnas...", [](QDialog* editor) {
    auto* table = editor->findChild<QTableWidget*>("columnas");
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->rowCount(), 3);
    table->setCurrentCell(2, 0);
    Press(editor, "&Quitar");  // precio goes
    Press(editor, "&Agregar");
    ASSERT_EQ(table->rowCount(), 3);
    table->item(2, 0)->setText("2");
    table->item(2, 1)->setText("fecha");
    table->item(2, 4)->setText("Fecha");
    qobject_cast<QComboBox*>(table->cellWidget(2, 3))->setCurrentIndex(2);
    Press(editor, "Aceptar");
  });
  EXPECT_EQ(articulos->property("ColumnsCount").toInt(), 3);
  std::unique_ptr<QWidget> reloaded = Load(form->contents().toUtf8());
  QWidget* again = Child(reloaded.get(), "ctlArticulos");
  ASSERT_NE(again, nullptr);
  const QString columnas = again->property("Columnas").toString();
  EXPECT_FALSE(columnas.contains("precio")) << columnas.toStdString();
  EXPECT_TRUE(columnas.contains(R"({"caption":"Fecha","field":"fecha","key":"2","type":2})")) << columnas.toStdString();
  EXPECT_EQ(again->property("ColumnsCount").toInt(), 3);
}

// A form holding a ctlTrovel as Designer drops it from the widget box: the
// widget element of the plugin's XML of a new instance.
QString FormWithNewTrovel() {
  const QString xml = Plugin()->customWidgets()[0]->domXml();
  const qsizetype from = xml.indexOf("<widget "), to = xml.indexOf("</widget>") + int(strlen("</widget>"));
  return R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0"><class>Nuevo</class>
 <widget class="QWidget" name="Nuevo">
  <property name="geometry"><rect><x>0</x><y>0</y><width>400</width><height>340</height></rect></property>
  )" + xml.mid(from, to - from) + R"(
 </widget>
 <customwidgets><customwidget><class>trovel::qt::TrovelWidget</class><extends>QWidget</extends>
  <header>qtwidgets/TrovelWidget.h</header></customwidget></customwidgets>
</ui>
)";
}

// Whether the saved form holds property `name` as an untranslatable text.
bool SavedUntranslated(const QString& saved, const QString& name) {
  return saved.contains(QRegularExpression(QString(R"(<property name="%1">\s*<string notr="true")").arg(name)));
}

// One "Aceptar" of "Campos..." is one step of the form's undo stack, made of
// the properties that changed only; every data property of the saved form is
// marked untranslatable, so uic keeps it out of retranslateUi(): those of a
// control dropped from the widget box, and those a form had so marked.
TEST_F(DesignerFormTest, CamposIsOneUndoStepAndDataIsSavedUntranslatable) {
  ASSERT_TRUE(form->setContents(FormWithNewTrovel()));
  QWidget* nuevo = Child(form->mainContainer(), "ctlTrovel1");
  ASSERT_NE(nuevo, nullptr);
  QUndoStack* history = form->commandHistory();
  const int steps = history->count();
  Trigger(nuevo, "Campos...", [](QDialog* sheet) {
    auto* campo5 = sheet->findChild<QLineEdit*>("txtN_campo5");
    campo5->setFocus();
    QTest::keyClicks(campo5, "importe");
    auto* campo6 = sheet->findChild<QLineEdit*>("txtN_campo6");
    campo6->setFocus();
    QTest::keyClicks(campo6, "ciudad");
    auto* tipo2 = sheet->findChild<QComboBox*>("cmbTipoCampo2");
    tipo2->setCurrentIndex(1);
    emit tipo2->activated(1);
    sheet->findChild<QCheckBox*>("chkBuscarAlEscribir")->setChecked(true);
    sheet->findChild<QSpinBox*>("spnPausaBusqueda")->setValue(400);
    Press(sheet, "Aceptar");
  });
  EXPECT_EQ(history->count(), steps + 1);
  EXPECT_EQ(nuevo->property("N_Campo6").toString(), "ciudad");
  QString saved = form->contents();
  EXPECT_TRUE(saved.contains(QRegularExpression(R"(<property name="BuscarAlEscribir">\s*<bool>true</bool>)")))
      << saved.toStdString();
  EXPECT_TRUE(saved.contains(QRegularExpression(R"(<property name="PausaBusqueda">\s*<number>400</number>)")));
  std::unique_ptr<QWidget> reloaded = Load(saved.toUtf8());
  QWidget* again = Child(reloaded.get(), "ctlTrovel1");
  ASSERT_NE(again, nullptr);
  EXPECT_TRUE(again->property("BuscarAlEscribir").toBool());
  EXPECT_EQ(again->property("PausaBusqueda").toInt(), 400);
  QStringList data = {"OrderBy", "GridFormat", "SentenciaSQL", "SeparaFecha", "FormatoFecha"};
  for (int n = 1; n <= 8; ++n) data << QString("N_Campo%1").arg(n);
  for (int n = 1; n <= 4; ++n) data << QString("N_Tabla%1").arg(n);
  for (const QString& name : data) EXPECT_TRUE(SavedUntranslated(saved, name)) << name.toStdString();
  // A type code is one of three, chosen from a list and saved by name.
  const QMetaProperty tipo = nuevo->metaObject()->property(nuevo->metaObject()->indexOfProperty("TipoCampo2"));
  ASSERT_TRUE(tipo.isEnumType());
  EXPECT_EQ(tipo.enumerator().keyCount(), 3);
  EXPECT_EQ((QStringList{tipo.enumerator().key(0), tipo.enumerator().key(1), tipo.enumerator().key(2)}),
            (QStringList{"TEX", "NUM", "FEC"}));
  EXPECT_TRUE(saved.contains(QRegularExpression(R"(<property name="TipoCampo2">\s*<enum>[:\w]*NUM</enum>)")))
      << saved.toStdString();
  history->undo();
  EXPECT_EQ(nuevo->property("N_Campo5").toString(), "");
  EXPECT_EQ(nuevo->property("N_Campo6").toString(), "");
  EXPECT_EQ(nuevo->property("TipoCampo2").toString(), "TEX");
  EXPECT_FALSE(nuevo->property("BuscarAlEscribir").toBool());
  EXPECT_EQ(nuevo->property("PausaBusqueda").toInt(), 250);
  EXPECT_EQ(history->count(), steps + 1);  // the step stays, to be redone

  // A form of before: what it had untranslatable stays so when edited.
  ASSERT_TRUE(form->setContents(QString::fromUtf8(CheckedInForm())));
  QWidget* clientes = Child(form->mainContainer(), "ctlClientes");
  ASSERT_NE(clientes, nullptr);
  Trigger(clientes, "Campos...", [](QDialog* sheet) {
    auto* campo3 = sheet->findChild<QLineEdit*>("txtN_campo3");
    campo3->setFocus();
    QTest::keyClick(campo3, Qt::Key_End);
    QTest::keyClicks(campo3, "_fecha");
    Press(sheet, "Aceptar");
  });
  saved = form->contents();
  EXPECT_EQ(clientes->property("N_Campo3").toString(), "alta_fecha");
  // A type code an earlier plugin saved as text is kept, now by name.
  EXPECT_EQ(clientes->property("TipoCampo3").toString(), "FEC");
  EXPECT_TRUE(saved.contains(QRegularExpression(R"(<property name="TipoCampo3">\s*<enum>[:\w]*FEC</enum>)")))
      << saved.toStdString();
  for (const char* name : {"N_Campo3", "SentenciaSQL", "GridFormat"})
    EXPECT_TRUE(SavedUntranslated(saved, name)) << name;
  // Properties the page wrote with the values they had are not in the form.
  for (const char* unchanged : {"FormatoFecha", "SeparaFecha", "N_Campo7", "BuscarAlEscribir", "PausaBusqueda"})
    EXPECT_FALSE(saved.contains(QString("<property name=\"%1\">").arg(unchanged))) << unchanged;
}

// "Columnas...": "Agregar" fills in the next key; an empty or repeated key is
// refused, saying which; the types go by their Spanish names; the columns
// edited show in the control on the form at once, and one "Aceptar" is one
// undo step.
TEST_F(DesignerFormTest, ColumnasFillsKeysRefusesBadOnesAndShowsTheColumns) {
  QWidget* articulos = Child(form->mainContainer(), "ctlArticulos");
  ASSERT_NE(articulos, nullptr);
  QUndoStack* history = form->commandHistory();
  const int steps = history->count();
  QStringList refusals;
  Trigger(articulos, "Columnas...", [&](QDialog* editor) {
    auto* table = editor->findChild<QTableWidget*>("columnas");
    ASSERT_NE(table, nullptr);
    QStringList headers;
    for (int c = 0; c < table->columnCount(); ++c) headers << table->horizontalHeaderItem(c)->text();
    EXPECT_EQ(headers.count("Clave"), 1) << headers.join(",").toStdString();
    EXPECT_FALSE(headers.contains("Key"));
    auto* type = qobject_cast<QComboBox*>(table->cellWidget(0, 3));
    ASSERT_NE(type, nullptr);
    EXPECT_EQ((QStringList{type->itemText(0), type->itemText(1), type->itemText(2)}),
              (QStringList{"Texto", "Número", "Fecha"}));
    Press(editor, "&Agregar");
    ASSERT_EQ(table->rowCount(), 4);
    EXPECT_EQ(table->item(3, 0)->text(), "3");
    table->item(3, 1)->setText("fecha");
    table->item(3, 4)->setText("Fecha");
    // A repeated key, then an empty one, are refused with the editor open.
    auto refuse = [&] {
      QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        refusals << box->text();
        box->accept();
      });
      Press(editor, "Aceptar");
      EXPECT_TRUE(editor->isVisible());
    };
    table->item(3, 0)->setText("1");
    refuse();
    table->item(3, 0)->setText(" ");
    refuse();
    table->item(3, 0)->setText("3");
    Press(editor, "Aceptar");
  });
  ASSERT_EQ(refusals.size(), 2);
  EXPECT_TRUE(refusals[0].contains("repetida")) << refusals[0].toStdString();
  EXPECT_TRUE(refusals[1].contains("sin clave")) << refusals[1].toStdString();
  EXPECT_EQ(history->count(), steps + 1);
  // The control on the form shows the columns under their captions.
  auto* grid = articulos->findChild<QTableView*>("grdDatos");
  ASSERT_NE(grid, nullptr);
  ASSERT_EQ(grid->model()->columnCount(), 4);
  EXPECT_EQ(grid->model()->headerData(1, Qt::Horizontal).toString(), "Descripción");
  EXPECT_EQ(grid->model()->headerData(3, Qt::Horizontal).toString(), "Fecha");
  history->undo();
  EXPECT_EQ(grid->model()->columnCount(), 3);
}

}  // namespace
