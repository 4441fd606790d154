// ctlTrovel with BuscarAlEscribir: reads that follow the keys after a pause,
// stopped by a key typed meanwhile, and never showing a result for filters
// changed since it began; with the property off nothing reads while typing.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "connectors/SqliteConnection.h"
#include "ctltrovel/ctlTrovel.h"
#include "platform/Error.h"
#include "platform/HeadlessHost.h"
#include "platform/MemoryPropertyBag.h"
#include "tests/ErrorNumber.h"
#include "tests/RecordingConnection.h"
#include "tests/TypedKeys.h"

namespace trovel {
namespace {

using std::chrono::milliseconds;

class TypingTest : public ::testing::Test {
 protected:
  TypingTest() {
    settings.read_progress = [this](milliseconds elapsed) { return during_read ? during_read(elapsed) : false; };
    db = std::make_shared<SqliteConnection>(path.string(), settings);
    conn = std::make_shared<RecordingConnection>(db, log);
    db->Execute("create table clientes (codigo text, nombre text, alta date)");
    db->Execute(
        "insert into clientes values ('C1', 'GARCIA ANA', '2001-02-01'), ('C2', 'GARBO LUIS', '2001-02-02'),"
        " ('C3', 'GARCES PEDRO', '2001-02-03'), ('C4', 'GOMEZ EVA', '2001-02-04'), ('C5', 'AGARRE JUAN', '2001-02-01')");
    ctl = std::make_unique<ctlTrovel>(host);
    ctl->SentenciaSQL("select codigo, nombre, alta from clientes");
    ctl->N_Campo1("codigo");
    ctl->N_Campo2("nombre");
    ctl->N_Campo3("alta");
    ctl->TipoCampo3("FEC");
    ctl->OrderBy("codigo");
    ctl->glbDb(conn);
    ctl->PausaBusqueda(40);
  }
  ~TypingTest() override {
    ctl.reset();
    conn.reset();
    db.reset();
    std::filesystem::remove(path);
  }

  void Type(TextBox& box, const std::string& keys) {
    if (host.FocusedWidget() != &box) host.SetFocus(&box);
    for (int16_t k : KeysOf(keys)) host.TypeKey(box, k);
  }
  // The user stops typing for longer than the pause.
  void Pause() { host.Wait(milliseconds(100)); }
  // Until just after the read in which `seen` became true (the read runs
  // inside a Wait): the pause that the end of a stale read starts again
  // has not ended yet.
  void UntilTheReadIsOver(const std::function<bool()>& seen) {
    for (int waited = 0; !seen() && waited < 5000; ++waited) host.Wait(milliseconds(1));
  }
  std::vector<std::string> Codes() const {
    std::vector<std::string> codes;
    for (int r = 1; r < ctl->grdDatos.Rows(); ++r) codes.push_back(ctl->grdDatos.TextMatrix(r, 0));
    return codes;
  }

  std::filesystem::path path = std::filesystem::temp_directory_path() /
                               ("trovel_typing_" + std::to_string(::getpid()) + "_" +
                                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".db");
  HeadlessHost host;
  ConnectionSettings settings;
  std::function<bool(milliseconds)> during_read;
  std::shared_ptr<SqliteConnection> db;
  std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
  std::shared_ptr<RecordingConnection> conn;
  std::unique_ptr<ctlTrovel> ctl;
};

TEST_F(TypingTest, KeysWithoutPauseReadOnceAndEachPauseShowsTheFiltersAsTheyStand) {
  ctl->BuscarAlEscribir(true);
  Type(ctl->txtNombre, "gar");
  host.RunTimers();
  EXPECT_TRUE(log->statements.empty()) << "read before the pause ended";
  Pause();
  ASSERT_EQ(log->statements.size(), 1u);
  EXPECT_NE(log->statements[0].find("nombre like 'GAR%'"), std::string::npos) << log->statements[0];
  EXPECT_EQ(Codes(), (std::vector<std::string>{"C1", "C2", "C3"}));
  // The user goes on typing where they were.
  EXPECT_EQ(host.FocusedWidget(), &ctl->txtNombre);
  EXPECT_EQ(ctl->txtNombre.SelStart(), 3);
  EXPECT_TRUE(ctl->cmdSeleccionar.Enabled());

  Type(ctl->txtNombre, "c");
  Pause();
  ASSERT_EQ(log->statements.size(), 2u);
  EXPECT_NE(log->statements[1].find("nombre like 'GARC%'"), std::string::npos) << log->statements[1];
  EXPECT_EQ(Codes(), (std::vector<std::string>{"C1", "C3"}));
  EXPECT_EQ(host.FocusedWidget(), &ctl->txtNombre);
  EXPECT_TRUE(host.messages.empty());

  // A typed wildcard is the user's: no % is added.
  ctl->txtNombre.SetText("%ARR%");
  Pause();
  EXPECT_NE(log->statements.back().find("nombre like '%ARR%'"), std::string::npos) << log->statements.back();
  EXPECT_EQ(Codes(), (std::vector<std::string>{"C5"}));
}

TEST_F(TypingTest, AnEmptyResultShowsNoMessageAndOnlyTheBlankRow) {
  ctl->BuscarAlEscribir(true);
  Type(ctl->txtNombre, "zz");
  Pause();
  ASSERT_EQ(log->statements.size(), 1u);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(Codes(), std::vector<std::string>{""});
  EXPECT_FALSE(ctl->cmdSiguiente.Enabled());
  EXPECT_FALSE(ctl->cmdSeleccionar.Enabled());
  // The read button still says so, as always.
  ctl->p_leer();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "No existen registros");
}

TEST_F(TypingTest, ADateFilterReadsOnlyOnceItIsAWholeValidDate) {
  ctl->BuscarAlEscribir(true);
  Type(ctl->txtcol3, "01/02/20");
  Pause();
  EXPECT_TRUE(log->statements.empty());
  ctl->txtcol3.SetText("31/02/2001");  // no such day
  Pause();
  EXPECT_TRUE(log->statements.empty());
  ctl->txtcol3.SetText("");
  Type(ctl->txtcol3, "01/02/2001");
  Pause();
  ASSERT_EQ(log->statements.size(), 1u);
  EXPECT_EQ(Codes(), (std::vector<std::string>{"C1", "C5"}));
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(TypingTest, WithThePropertyOffNothingReadsWhileTyping) {
  Type(ctl->txtNombre, "gar");
  Pause();
  EXPECT_TRUE(log->statements.empty());
  EXPECT_EQ(host.PendingTimers(), 0u);
  EXPECT_EQ(ctl->BuildStatement().find("%"), std::string::npos) << "a prefix added with the property off";
  // Turning it off drops a pause under way.
  ctl->BuscarAlEscribir(true);
  Type(ctl->txtNombre, "c");
  ctl->BuscarAlEscribir(false);
  Pause();
  EXPECT_TRUE(log->statements.empty());
}

TEST_F(TypingTest, TheReadButtonDuringAPauseReadsOnceAndTakesTheFocusAsBefore) {
  ctl->BuscarAlEscribir(true);
  Type(ctl->txtNombre, "garc");
  ctl->p_leer();
  Pause();
  EXPECT_EQ(log->statements.size(), 1u);
  EXPECT_EQ(host.FocusedWidget(), &ctl->grdDatos);
}

TEST_F(TypingTest, ADroppedControlIsNeverCalledBack) {
  ctl->BuscarAlEscribir(true);
  Type(ctl->txtNombre, "gar");
  ctl.reset();
  EXPECT_GT(host.PendingTimers(), 0u);
  Pause();  // under ASan a call into the dropped control fails here
  EXPECT_TRUE(log->statements.empty());
}

TEST_F(TypingTest, AfterQuitAPauseUnderWayReadsNothingAndSaysNothing) {
  ctl->BuscarAlEscribir(true);
  Type(ctl->txtNombre, "gar");
  ctl->Quit();
  Pause();
  EXPECT_TRUE(log->statements.empty());
  EXPECT_TRUE(host.messages.empty()) << host.messages[0].text;
}

// A table large enough that a read sorting it runs past the connection's
// first progress report.
void FillLarge(SqliteConnection& db) {
  db.Execute("delete from clientes");
  db.Execute(
      "with recursive k(i) as (select 1 union all select i + 1 from k where i < 300000)"
      " insert into clientes select printf('C%06d', i), 'NOMBRE ' || (300000 - i), '2001-01-01' from k");
}

TEST_F(TypingTest, AKeyDuringAReadStopsItSilentlyAndThePauseReadsTheNewText) {
  FillLarge(*db);
  ctl->OrderBy("nombre");  // no index: the whole table is sorted before the first row
  ctl->BuscarAlEscribir(true);
  Type(ctl->txtNombre, "nombre 1");
  int stops = 0;
  during_read = [&](milliseconds) {
    if (stops > 0) return false;
    ++stops;
    // The host lets the key reach the box and stops the read.
    host.TypeKey(ctl->txtNombre, '2');
    return true;
  };
  UntilTheReadIsOver([&] { return stops > 0; });
  EXPECT_EQ(stops, 1);
  ASSERT_EQ(log->statements.size(), 1u);
  EXPECT_TRUE(host.messages.empty()) << host.messages[0].text;
  EXPECT_EQ(Codes(), std::vector<std::string>{""}) << "a stopped read showed rows";
  EXPECT_EQ(ctl->txtNombre.Text(), "NOMBRE 12");
  EXPECT_EQ(host.FocusedWidget(), &ctl->txtNombre);

  Pause();
  ASSERT_EQ(log->statements.size(), 2u);
  EXPECT_NE(log->statements[1].find("like 'NOMBRE 12%'"), std::string::npos) << log->statements[1];
  ASSERT_EQ(ctl->grdDatos.Rows(), 52);
  EXPECT_EQ(ctl->grdDatos.TextMatrix(1, 1), "NOMBRE 12");
  EXPECT_EQ(ctl->grdDatos.TextMatrix(2, 1), "NOMBRE 120");
  EXPECT_TRUE(ctl->cmdSiguiente.Enabled());
  EXPECT_TRUE(host.messages.empty());

  // Escape, which also stops the read but changes no filter, still says so.
  during_read = [](milliseconds) { return true; };
  ctl->p_leer();
  EXPECT_EQ(host.messages.size(), 1u);
}

TEST_F(TypingTest, AResultForTextChangedDuringTheReadIsNeverShown) {
  FillLarge(*db);
  ctl->OrderBy("nombre");
  ctl->BuscarAlEscribir(true);
  Type(ctl->txtNombre, "nombre 2");
  bool typed = false;
  during_read = [&](milliseconds) {
    // A host that lets the key through without stopping the read.
    if (!typed) host.TypeKey(ctl->txtNombre, '9');
    typed = true;
    return false;
  };
  UntilTheReadIsOver([&] { return typed; });
  ASSERT_TRUE(typed);
  ASSERT_EQ(log->statements.size(), 1u);
  EXPECT_EQ(Codes(), std::vector<std::string>{""}) << "rows of 'NOMBRE 2' shown under 'NOMBRE 29'";
  Pause();
  ASSERT_EQ(log->statements.size(), 2u);
  EXPECT_EQ(ctl->grdDatos.TextMatrix(1, 1), "NOMBRE 29");
}

TEST_F(TypingTest, AKeyWhileTheBlockLoadsDropsTheRowsLoadedSoFar) {
  // The first match comes at once and the second at the end of the table, so
  // the block is still loading when the connection first reports.
  db->Execute("delete from clientes");
  db->Execute(
      "with recursive k(i) as (select 1 union all select i + 1 from k where i < 1000000)"
      " insert into clientes select printf('C%07d', i), case when i in (1, 1000000) then 'NOMBRE X' else 'OTRO' end,"
      " '2001-01-01' from k");
  ctl->OrderBy("");
  ctl->BuscarAlEscribir(true);
  Type(ctl->txtNombre, "nombre x");
  bool typed = false;
  during_read = [&](milliseconds) {
    if (!typed) host.TypeKey(ctl->txtNombre, 'z');
    typed = true;
    return false;
  };
  UntilTheReadIsOver([&] { return typed; });
  ASSERT_TRUE(typed);
  ASSERT_EQ(log->statements.size(), 1u);
  EXPECT_EQ(Codes(), std::vector<std::string>{""}) << "rows of 'NOMBRE X' shown under 'NOMBRE XZ'";
  EXPECT_FALSE(ctl->cmdSeleccionar.Enabled());
  Pause();
  ASSERT_EQ(log->statements.size(), 2u);
  EXPECT_EQ(Codes(), std::vector<std::string>{""});
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(TypingTest, ThePropertiesAreSavedOnlyAwayFromTheirDefaults) {
  MemoryPropertyBag bag;
  ctlTrovel fresh(host);
  fresh.WriteProperties(bag);
  EXPECT_FALSE(bag.Has("BuscarAlEscribir"));
  EXPECT_FALSE(bag.Has("PausaBusqueda"));
  EXPECT_FALSE(fresh.BuscarAlEscribir());
  EXPECT_EQ(fresh.PausaBusqueda(), 250);

  host.notices.clear();
  fresh.SetProperty("BuscarAlEscribir", true);
  fresh.SetProperty("PausaBusqueda", int32_t{400});
  EXPECT_EQ(host.notices, (std::vector<std::string>{"BuscarAlEscribir", "PausaBusqueda"}));
  fresh.WriteProperties(bag);
  EXPECT_TRUE(bag.Values().at("BuscarAlEscribir").ToBoolean());
  EXPECT_EQ(bag.Values().at("PausaBusqueda").ToLong(), 400);
  ctlTrovel loaded(host);
  loaded.ReadProperties(bag);
  EXPECT_TRUE(loaded.BuscarAlEscribir());
  EXPECT_EQ(loaded.PausaBusqueda(), 400);

  EXPECT_EQ(ErrorNumberOf([&] { loaded.PausaBusqueda(-1); }), Error::kInvalidValue);
  EXPECT_EQ(loaded.PausaBusqueda(), 400);
  bag.Set("PausaBusqueda", int32_t{70000});
  ctlTrovel refused(host);
  EXPECT_EQ(ErrorNumberOf([&] { refused.ReadProperties(bag); }), Error::kInvalidValue);
  EXPECT_TRUE(refused.BuscarAlEscribir()) << "a bad pause kept the other keys from being read";
  EXPECT_EQ(refused.PausaBusqueda(), 250);
}

}  // namespace
}  // namespace trovel
