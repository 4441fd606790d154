// The typed Qt widgets: Q_PROPERTYs over every value property, refused
// writes, typed events, the connection by address, and a form compiled by uic.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QMetaProperty>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "apps/desktop/FormWindow.h"
#include "connectors/SqliteConnection.h"
#include "qtwidgets/Trovel2Widget.h"
#include "qtwidgets/TrovelWidget.h"
#include "ui_buscar.h"

namespace trovel::qt {
namespace {

namespace fs = std::filesystem;

class QtWidgetsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Refusals are shown in message boxes, which the test closes.
    QObject::connect(&closer, &QTimer::timeout, [] {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) box->accept();
    });
    closer.start(5);
  }
  void TearDown() override { fs::remove(path); }

  // A database with three customers and two articles.
  std::shared_ptr<SqliteConnection> Database() {
    auto db = std::make_shared<SqliteConnection>(path.string());
    db->Execute(
        "create table clientes (codigo text, nombre text, alta date);"
        "insert into clientes values ('A1', 'Ana', '2001-12-25'), ('B2', 'Blas', '2002-01-31'), ('C3', 'Celia', null);"
        "create table articulos (codigo text, descripcion text, precio real);"
        "insert into articulos values ('X1', 'Tuerca', 0.25), ('X2', 'Tornillo', 0.5);");
    return db;
  }

  static void Click(QWidget& widget, const char* button) { widget.findChild<QPushButton*>(button)->click(); }

  QTimer closer;
  QSignalSpy messages{&TypedControlWidget::SharedHost(), &QtHost::messageShown};
  // One file per process: CTest runs the cases side by side.
  fs::path path = fs::temp_directory_path() /
                  ("trovel_qt_widgets_test_" + std::to_string(QCoreApplication::applicationPid()) + ".db");
};

TEST_F(QtWidgetsTest, EveryValuePropertyIsAQtPropertyWithItsNotice) {
  TrovelWidget trovel;
  Trovel2Widget trovel2;
  for (TypedControlWidget* w : std::initializer_list<TypedControlWidget*>{&trovel, &trovel2}) {
    std::vector<std::string> names;
    for (const MemberInfo& m : w->control().Members())
      if (m.kind == MemberInfo::Kind::Property && m.type != MemberInfo::Type::Object) names.push_back(m.name);
    if (w == &trovel2) names.insert(names.end(), {"GridFont", "CommandFont", "Columnas", "ColumnsCount"});
    for (const std::string& name : names) {
      const int index = w->metaObject()->indexOfProperty(name.c_str());
      ASSERT_GE(index, 0) << name;
      const QMetaProperty p = w->metaObject()->property(index);
      EXPECT_TRUE(p.isWritable() && p.hasNotifySignal()) << name;
    }
  }
}

TEST_F(QtWidgetsTest, WritesReachTheControlAndAreNoticed) {
  struct Case {
    bool trovel2;
    const char* name;
    QVariant value;
    const char* also;  // another property that moves with it, or null
    QVariant also_reads;
  };
  const Case cases[] = {
      {false, "SentenciaSQL", "select codigo from clientes", nullptr, {}},
      {false, "NumCol", 4, nullptr, {}},
      {false, "Width3", 2000.0, nullptr, {}},
      {false, "MaxLength2", 7, nullptr, {}},
      {false, "TipoCampo1", "NUM", "TipoC1", "ctvNUMBER"},
      {false, "TipoC2", 2, "TipoCampo2", "FEC"},
      {false, "GridFormat", "a|b|c", "NumCol", 3},
      {false, "N_Campo8", "importe", nullptr, {}},
      {true, "UCaseFiltro", false, nullptr, {}},
      {true, "FormatoFecha", "yyyy-mm-dd", nullptr, {}},
      {true, "ColumnsCount", 5, nullptr, {}},
      {true, "Columnas", R"([{"field":"codigo","key":"0"}])", "ColumnsCount", 1},
      {true, "GridFont", QFont("Serif", 14), nullptr, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<TypedControlWidget> w;
    if (c.trovel2)
      w = std::make_unique<Trovel2Widget>();
    else
      w = std::make_unique<TrovelWidget>();
    const QMetaProperty p = w->metaObject()->property(w->metaObject()->indexOfProperty(c.name));
    QSignalSpy noticed(w.get(), p.notifySignal());
    std::unique_ptr<QSignalSpy> also_noticed;
    if (c.also)
      also_noticed = std::make_unique<QSignalSpy>(
          w.get(), w->metaObject()->property(w->metaObject()->indexOfProperty(c.also)).notifySignal());
    ASSERT_TRUE(w->setProperty(c.name, c.value));
    QVariant expected = c.value;
    ASSERT_TRUE(expected.convert(p.metaType()));
    EXPECT_EQ(w->property(c.name), expected);
    EXPECT_GE(noticed.count(), 1);
    if (p.metaType() == QMetaType::fromType<QString>() && w->control().FindMember(c.name)) {
      EXPECT_EQ(QString::fromStdString(w->control().GetProperty(c.name).ToString()), expected.toString());
    }
    if (c.also) {
      EXPECT_EQ(w->property(c.also).toString(), c.also_reads.toString());
      EXPECT_GE(also_noticed->count(), 1);
    }
  }
  EXPECT_EQ(messages.count(), 0);
}

TEST_F(QtWidgetsTest, RefusedWritesAreShownAndChangeNothing) {
  struct Case {
    bool trovel2;
    const char* name;
    QVariant value;
  };
  const Case cases[] = {
      {false, "MaxLength1", 40000},  // beyond 16 bits
      {false, "TipoC1", 7},
      {false, "Width1", -5.0},
      {true, "Columnas", "no es JSON"},
      {true, "Columnas", R"([{"field":"a"},{"field":"A"}])"},  // one key twice
      {true, "Columnas", R"([{"field":"a","type":5}])"},
      {true, "ColumnsCount", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " = " + c.value.toString().toStdString());
    std::unique_ptr<TypedControlWidget> w;
    if (c.trovel2)
      w = std::make_unique<Trovel2Widget>();
    else
      w = std::make_unique<TrovelWidget>();
    const QVariant before = w->property(c.name);
    const QMetaProperty p = w->metaObject()->property(w->metaObject()->indexOfProperty(c.name));
    QSignalSpy noticed(w.get(), p.notifySignal());
    const int shown = messages.count();
    w->setProperty(c.name, c.value);
    EXPECT_EQ(w->property(c.name), before);
    EXPECT_EQ(noticed.count(), 0);
    EXPECT_EQ(messages.count(), shown + 1);
  }
  // A type code outside the three reads -1 in its typed view.
  TrovelWidget w;
  w.setTipoCampo2("tex");
  EXPECT_EQ(w.TipoC2(), -1);
}

TEST_F(QtWidgetsTest, TypedEventsCarryTheRowChosen) {
  const std::shared_ptr<SqliteConnection> db = Database();
  TrovelWidget trovel;
  trovel.setSentenciaSQL("select codigo, nombre, alta from clientes");
  trovel.setN_Campo1("codigo");
  trovel.setN_Campo2("nombre");
  trovel.setOrderBy("codigo");
  ASSERT_TRUE(trovel.setDatabase(QString::fromStdString(path.string())));
  Trovel2Widget trovel2;
  trovel2.setSentenciaSQL("select codigo, descripcion, precio from articulos");
  trovel2.setOrderBy("codigo");
  trovel2.setColumnas(R"([{"key":"0","field":"codigo","length":4},{"key":"1","field":"descripcion","length":10}])");
  ASSERT_TRUE(trovel2.setDatabase(db));
  EXPECT_EQ(trovel2.database(), db);

  QSignalSpy chosen(&trovel, &TrovelWidget::evtSeleccionar), left(&trovel, &TrovelWidget::evtsalir);
  QSignalSpy chosen2(&trovel2, &Trovel2Widget::evtSeleccionar), left2(&trovel2, &Trovel2Widget::evtsalir);
  for (TypedControlWidget* w : std::initializer_list<TypedControlWidget*>{&trovel, &trovel2}) {
    w->show();
    w->p_leer();
    Click(*w, "cmdSeleccionar");
    Click(*w, "cmdSalir");
  }
  ASSERT_EQ(chosen.count(), 1);
  EXPECT_EQ(chosen[0][0].toStringList(), (QStringList{"A1", "Ana", "", "", ""}));
  ASSERT_EQ(chosen2.count(), 1);
  EXPECT_EQ(chosen2[0][0].toStringList(), (QStringList{"X1", "Tuerca"}));
  EXPECT_EQ(left.count() + left2.count(), 2);
  EXPECT_EQ(messages.count(), 0);
}

// Many lives of both widgets, each through a read, a page, a choice and
// (every other time) Quit: a destroyed widget has let go of the connection,
// so nothing piles up; the sanitizer build checks for leaks besides.
TEST_F(QtWidgetsTest, EachLifeOfBothWidgetsLetsGoOfTheConnection) {
  const std::shared_ptr<SqliteConnection> db = Database();
  db->Execute("insert into articulos select codigo || n, descripcion, precio from articulos,"
              " (with recursive k(n) as (select 1 union all select n + 1 from k where n < 60) select n from k)");
  const long holders = db.use_count();
  for (int life = 0; life < 20; ++life) {
    auto trovel = std::make_unique<TrovelWidget>();
    trovel->setSentenciaSQL("select codigo, descripcion from articulos");
    trovel->setN_Campo1("codigo");
    trovel->setN_Campo2("descripcion");
    auto trovel2 = std::make_unique<Trovel2Widget>();
    trovel2->setSentenciaSQL("select codigo, descripcion from articulos");
    trovel2->setColumnas(R"([{"key":"0","field":"codigo","length":4},{"key":"1","field":"descripcion","length":10}])");
    for (TypedControlWidget* w : std::initializer_list<TypedControlWidget*>{trovel.get(), trovel2.get()}) {
      ASSERT_TRUE(w->setDatabase(db));
      w->show();
      w->p_leer();
      Click(*w, "cmdSiguiente");
      Click(*w, "cmdSeleccionar");
      if (life % 2) w->Quit();
    }
    EXPECT_EQ(db.use_count() > holders, life % 2 == 0);  // Quit lets go at once
  }
  EXPECT_EQ(db.use_count(), holders);
  EXPECT_EQ(messages.count(), 0);
}

// (A server that cannot be reached yet is no refusal: each read tries it.)
TEST_F(QtWidgetsTest, AnAddressThatNamesNoDatabaseIsRefused) {
  TrovelWidget w;
  const std::shared_ptr<SqliteConnection> db = Database();
  ASSERT_TRUE(w.setDatabase(db));
  for (const QString address : {"", "sqlite:", "/no/such/folder/x.db", "no_such_file.db", "mysql://server/db",
                                "postgresql://nadie@127.0.0.1:1/ninguna?nosuchoption=1"}) {
    SCOPED_TRACE(address.toStdString());
    const int shown = messages.count();
    EXPECT_FALSE(w.setDatabase(address));
    EXPECT_EQ(messages.count(), shown + 1);
    EXPECT_EQ(w.database(), db);  // the connection stays
  }
  EXPECT_FALSE(fs::exists("no_such_file.db"));
  EXPECT_TRUE(w.setDatabase("sqlite:" + QString::fromStdString(path.string())));
  EXPECT_NE(w.database(), db);
}

TEST_F(QtWidgetsTest, AFormCompiledByUicRebuildsTheControls) {
  QWidget form;
  Ui::Buscar ui;
  ui.setupUi(&form);
  form.show();
  TrovelWidget& clientes = *ui.ctlClientes;
  EXPECT_EQ(clientes.SentenciaSQL(), "select codigo, nombre, alta from clientes");
  EXPECT_EQ(clientes.NumCol(), 3);
  EXPECT_EQ(clientes.TipoC3(), TrovelWidget::ctvDATE);
  EXPECT_EQ(clientes.MaxLength1(), 5);
  EXPECT_EQ(clientes.Width3(), 1200.0);
  EXPECT_EQ(clientes.N_Campo1(), "codigo");  // not saved: as a loaded control has it
  EXPECT_TRUE(clientes.findChild<QLineEdit*>("txtcol3")->isVisible());
  EXPECT_FALSE(clientes.findChild<QLineEdit*>("txtcol4")->isVisible());
  Trovel2Widget& articulos = *ui.ctlArticulos;
  EXPECT_FALSE(articulos.UCaseFiltro());
  ASSERT_EQ(articulos.Columns()->Count(), 3);
  const std::shared_ptr<clsColumn> precio = articulos.Columns()->Item("precio");
  ASSERT_NE(precio, nullptr);
  EXPECT_EQ(precio->Format(), "#,##0.00");
  EXPECT_EQ(precio->TypeData(), ctvNUMBER);
  EXPECT_FALSE(precio->Visible());
  EXPECT_EQ(articulos.ColumnsCount(), 3);
  EXPECT_EQ(messages.count(), 0);
}

TEST_F(QtWidgetsTest, TheDemosDesignModeEditsTheColumnsItSaves) {
  const fs::path form = fs::temp_directory_path() / ("trovel_columns_test_" +
                                                     std::to_string(QCoreApplication::applicationPid()) + ".form.json");
  std::ofstream(form) << R"({"controls": [{"name": "art", "class": "ctlTrovel2",
                            "columns": [{"key": "0", "field": "codigo"}, {"key": "1", "field": "nombre"}]}]})";
  desktop::FormWindow window(TypedControlWidget::SharedHost(), forms::FormFile::Load(form.string()),
                             desktop::FormWindow::Mode::Design);
  window.Select(0);
  QTimer::singleShot(0, [] {
    auto* editor = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(editor, nullptr);
    auto* table = editor->findChild<QTableWidget*>("columnas");
    ASSERT_EQ(table->rowCount(), 2);
    table->setCurrentCell(0, 1);
    for (QPushButton* b : editor->findChildren<QPushButton*>())
      if (b->text() == "&Quitar") b->click();
    table->item(0, 4)->setText("Nombre");
    for (QPushButton* b : editor->findChildren<QPushButton*>())
      if (b->text() == "Aceptar") b->click();
  });
  window.OpenColumnsEditor();
  window.SaveForm();
  const forms::FormFile saved = forms::FormFile::Load(form.string());
  EXPECT_EQ(saved.controls.at(0).entry["columns"],
            nlohmann::json::parse(R"([{"key": "1", "field": "nombre", "caption": "Nombre"}])"));
  fs::remove(form);
}

}  // namespace
}  // namespace trovel::qt
