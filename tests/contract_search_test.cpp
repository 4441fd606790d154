// The contract every backend keeps: the same searches through both controls
// on SQLite and on PostgreSQL send the same statements, show the same rows in
// the same blocks, and leave the same messages, events, cursor calls and
// button states. Each test runs once per backend; the PostgreSQL runs use the
// throw-away primary, and fail when it is missing.
#include "tests/ContractDatabase.h"
#include "tests/CtlTrovel2Fixture.h"
#include "tests/CtlTrovelFixture.h"

namespace trovel {
namespace {

using Strings = std::vector<std::string>;

// One action of the user or the host, and what it must leave: the codes of
// the rows shown as runs ("C001-C051,C060"; "blank" for the reset's empty
// row), the buttons, the cursor calls made by the action, then messages and
// events.
struct Step {
  const char* action;  // read, next, select N, exit, quit
  const char* expected;
};

std::string Runs(const std::vector<int>& codes) {
  std::string out;
  char code[8];
  for (size_t i = 0; i < codes.size(); ++i) {
    const bool starts = i == 0 || codes[i] != codes[i - 1] + 1;
    const bool ends = i + 1 == codes.size() || codes[i + 1] != codes[i] + 1;
    std::snprintf(code, sizeof code, "C%03d", codes[i]);
    if (starts) out += (i ? "," : "") + std::string(code);
    else if (ends) out += "-" + std::string(code);
  }
  return out;
}

// Points a control's fixture at the contract table on the backend that the
// test's parameter names.
template <typename Fixture>
class Contract : public Fixture, public ::testing::WithParamInterface<std::string> {
 protected:
  static constexpr const char* kName = "contrato";

  void SetUp() override {
    try {
      address = ContractDatabase::Make(GetParam(), kName);
      this->conn = std::make_shared<RecordingConnection>(OpenConnection(address), this->log);
    } catch (const std::exception& e) {
      FAIL() << GetParam() << ": " << e.what();
    }
  }
  void TearDown() override { ContractDatabase::Remove(kName); }

  // Every case starts from a control with no cursor, on the connection, with
  // its buttons ready to search and nothing logged. (Quit would also drop
  // ctlTrovel2's columns: cases that quit come last.)
  void Restart() {
    this->ctl.cmdSalir.Click();
    this->ctl.glbDb(this->conn);
    this->ctl.p_Boton_Leer();
    this->log->calls.clear();
    this->log->statements.clear();
    this->host.messages.clear();
    this->host.events.clear();
  }

  // Does what a step says: read, next, exit, quit or select N (grid row N).
  void Act(const std::string& action) {
    auto& c = this->ctl;
    if (action == "read") c.p_leer();
    if (action == "next") c.cmdSiguiente.Click();
    if (action == "exit") c.cmdSalir.Click();
    if (action == "quit") c.Quit();
    if (action.rfind("select ", 0) == 0) {
      c.grdDatos.SetRow(std::stoi(action.substr(7)));
      c.cmdSeleccionar.Click();
    }
  }

  // The rows shown, each checked cell by cell against the table.
  std::string Codes(const std::function<Strings(int)>& cells, int date_column, bool iso) {
    std::vector<int> codes;
    for (int r = 1; r < this->ctl.grdDatos.Rows(); ++r) {
      Strings shown = cells(r);
      if (shown == Strings(shown.size(), "")) return "blank";
      const int i = std::stoi(shown[0].substr(1));
      Strings expected = ContractDatabase::Cells(i);
      std::string& date = expected[static_cast<size_t>(date_column)];
      if (iso && !date.empty()) date = date.substr(6) + "-" + date.substr(3, 2) + "-" + date.substr(0, 2);
      expected.resize(shown.size());
      EXPECT_EQ(shown, expected) << "row " << r;
      codes.push_back(i);
    }
    return Runs(codes);
  }

  // Cursor calls since the last look, then messages and events.
  std::string Happenings(const std::function<std::string(const HeadlessHost::RaisedEvent&)>& event) {
    std::string out;
    for (const std::string& call : this->log->calls) out += " " + call;
    for (const auto& m : this->host.messages) out += " msg:" + m.text;
    for (const auto& e : this->host.events) out += " " + event(e);
    this->log->calls.clear();
    this->host.messages.clear();
    this->host.events.clear();
    return out;
  }

  std::string address;
};

std::string BackendOf(const ::testing::TestParamInfo<std::string>& info) { return info.param; }

// --- ctlTrovel ----------------------------------------------------------------

using CtlTrovelContract = Contract<CtlTrovelTest>;

struct TrovelCase {
  const char* name;
  const char* base;  // "" for the whole table
  const char* order;
  Strings boxes;     // texts of the four boxes: text, text, date, number
  const char* statement;
  std::vector<Step> steps;
  const char* separator = "#";
  const char* date_format = "dd/mm/yyyy";
};

#define ALL "SELECT CODIGO, NOMBRE, ALTA, N, SALDO, CIUDAD FROM CLIENTES"

const TrovelCase kTrovelCases[] = {
    {"103 rows in three blocks, then a selection of a row with a NULL",
     "", "codigo", {}, ALL " where 1=1  ORDER BY codigo",
     {{"read", "C001-C051 1111 Open"},
      {"next", "C001-C102 1111"},
      {"next", "C001-C103 1011"},
      {"select 7", "C001-C103 1011 Close evtSeleccionar(C007|Inés López|27/12/2001|7|)"}}},
    {"no rows", "", "codigo", {"x%"}, ALL " where 1=1  and codigo like 'X%' ORDER BY codigo",
     {{"read", "blank 1001 Open msg:No existen registros"}}},
    {"one row by number", "", "codigo", {"", "", "", "7"}, ALL " where 1=1  and n = 7 ORDER BY codigo",
     {{"read", "C007 1011 Open"}, {"select 1", "C007 1011 Close evtSeleccionar(C007|Inés López|27/12/2001|7|)"}}},
    {"51 rows: one block, nothing more", "select codigo, nombre, alta, n, saldo, ciudad from clientes where n <= 51",
     "codigo", {}, ALL " WHERE N <= 51 ORDER BY codigo", {{"read", "C001-C051 1011 Open"}}},
    {"52 rows: one block and one row, then exit",
     "select codigo, nombre, alta, n, saldo, ciudad from clientes where n <= 52", "codigo", {},
     ALL " WHERE N <= 52 ORDER BY codigo",
     {{"read", "C001-C051 1111 Open"}, {"next", "C001-C052 1011"}, {"exit", "C001-C052 1011 Close evtsalir()"}}},
    {"an accented name typed in lower case", "", "codigo", {"", "ana garcía%"},
     ALL " where 1=1  and nombre like 'ANA GARCÍA%' ORDER BY codigo",
     {{"read", "C001,C011,C021,C031,C041,C051,C061,C071,C081,C091,C101 1011 Open"}}},
    {"the name without its accent", "", "codigo", {"", "ana garcia%"},
     ALL " where 1=1  and nombre like 'ANA GARCIA%' ORDER BY codigo",
     {{"read", "blank 1001 Open msg:No existen registros"}}},
    {"a date between #, day first in the box", "", "codigo", {"", "", "25/12/2001"},
     ALL " where 1=1  and alta = #12/25/2001# ORDER BY codigo", {{"read", "C005 1011 Open"}}},
    {"an ISO date between '", "", "codigo", {"", "", "2002-01-03"},
     ALL " where 1=1  and alta = '2002-01-03' ORDER BY codigo", {{"read", "C014 1011 Open"}}, "'", "yyyy-mm-dd"},
    {"ORDER BY in Spanish order", "", "nombre", {"c00%"}, ALL " where 1=1  and codigo like 'C00%' ORDER BY nombre",
     {{"read", "C004,C001,C007,C002,C008,C006,C005,C009,C003 1011 Open"}}},
    {"Quit while paging", "", "order by codigo", {}, ALL " where 1=1  order by codigo",
     {{"read", "C001-C051 1111 Open"}, {"quit", "C001-C051 1111 Close"}}},
};

TEST_P(CtlTrovelContract, Searches) {
  ctl.NumCol(6);
  SetFields({"codigo", "nombre", "alta", "n", "saldo", "ciudad"});
  ctl.TipoCampo3("FEC");
  ctl.TipoCampo4("NUM");
  for (const TrovelCase& k : kTrovelCases) {
    SCOPED_TRACE(k.name);
    Restart();
    ctl.SentenciaSQL(*k.base ? k.base : "select codigo, nombre, alta, n, saldo, ciudad from clientes");
    ctl.OrderBy(k.order);
    ctl.SeparaFecha(k.separator);
    ctl.FormatoFecha(k.date_format);
    TextBox* boxes[] = {&ctl.txtCodigo, &ctl.txtNombre, &ctl.txtcol3, &ctl.txtcol4};
    for (size_t b = 0; b < 4; ++b) {
      const std::string text = b < k.boxes.size() ? k.boxes[b] : "";
      if (b == 2) boxes[b]->SetText(text);  // the date box takes what its check would leave
      else TypeInto(*boxes[b], text);
    }
    for (const Step& s : k.steps) {
      const std::string action = s.action;
      Act(action);
      const std::string shown =
          Codes([this](int r) { return Row(r); }, 2, std::string(k.date_format) == "yyyy-mm-dd") + " " + Buttons() +
          Happenings([](const HeadlessHost::RaisedEvent& e) {
            std::string args;
            for (size_t a = 0; a < e.args.size(); ++a) args += (a ? "|" : "") + e.args[a];
            return e.name + "(" + args + ")";
          });
      EXPECT_EQ(shown, s.expected) << action;
    }
    EXPECT_EQ(log->statements, Strings{k.statement});
  }
  // After Quit a read has no connection, on every backend alike.
  ctl.p_leer();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "Variable de objeto o bloque With no establecida");
}

INSTANTIATE_TEST_SUITE_P(Backends, CtlTrovelContract, ::testing::Values("sqlite", "postgresql", "mariadb", "pgodbc", "pgbouncer"),
                         BackendOf);

// --- ctlTrovel2 ---------------------------------------------------------------

using CtlTrovel2Contract = Contract<CtlTrovel2Test>;

struct Trovel2Case {
  const char* name;
  const char* order;
  std::vector<std::pair<int, std::string>> filters;  // typed into the filter row
  const char* statement;
  std::vector<Step> steps;
};

#define STAR "SELECT * FROM CLIENTES where 1=1 "

const Trovel2Case kTrovel2Cases[] = {
    {"103 rows in three blocks, then a selection of a row with a NULL date", "codigo", {}, STAR " ORDER BY codigo",
     {{"read", "C001-C051 results next select Open"},
      {"next", "C001-C102 results next select"},
      {"next", "C001-C103 results select"},
      {"select 10", "C001-C103 results select Close evtSeleccionar C010|Lucía Castaño||10|12.5|Madrid|"}}},
    {"no rows", "codigo", {{0, "x%"}}, STAR " and clientes.codigo like 'X%' ORDER BY codigo",
     {{"read", "blank results Open msg:No existen registros"}, {"read", "blank filter"}}},
    {"one row by number", "codigo", {{3, "7"}}, STAR " and clientes.n = 7 ORDER BY codigo",
     {{"read", "C007 results select Open"}}},
    {"51 rows: one page, nothing more", "codigo", {{3, "<51"}}, STAR " and clientes.n <= 51 ORDER BY codigo",
     {{"read", "C001-C051 results select Open"}}},
    {"52 rows: one page and one row, then exit", "codigo", {{3, "<52"}},
     STAR " and clientes.n <= 52 ORDER BY codigo",
     {{"read", "C001-C051 results next select Open"},
      {"next", "C001-C052 results select"},
      {"exit", "C001-C052 results select Close evtsalir"}}},
    {"an accented name typed in lower case", "codigo", {{1, "ana garcía%"}},
     STAR " and clientes.nombre like 'ANA GARCÍA%' ORDER BY codigo",
     {{"read", "C001,C011,C021,C031,C041,C051,C061,C071,C081,C091,C101 results select Open"}}},
    {"a date from, between #, day first in the cell", "codigo", {{2, ">01/04/2002"}},
     STAR " and clientes.alta >= #04/01/2002# ORDER BY codigo", {{"read", "C102-C103 results select Open"}}},
    {"ORDER BY in Spanish order, descending", "nombre desc", {{0, "c00%"}},
     STAR " and clientes.codigo like 'C00%' ORDER BY nombre desc",
     {{"read", "C003,C009,C005-C006,C008,C002,C007,C001,C004 results select Open"}}},
    {"Quit while paging", "codigo", {}, STAR " ORDER BY codigo",
     {{"read", "C001-C051 results next select Open"}, {"quit", "C001 results next select Close"}}},
};

TEST_P(CtlTrovel2Contract, Searches) {
  ctl.Columns()->Add("0", "codigo", "clientes", ctvTEXT, "Código", 6);
  ctl.Columns()->Add("1", "nombre", "clientes", ctvTEXT, "Nombre", 20);
  ctl.Columns()->Add("2", "alta", "clientes", ctvDATE, "Alta", 10);
  ctl.Columns()->Add("3", "n", "clientes", ctvNUMBER, "N", 5);
  ctl.Columns()->Add("4", "saldo", "clientes", ctvNUMBER, "Saldo", 8);
  ctl.Columns()->Add("5", "ciudad", "clientes", ctvTEXT, "Ciudad", 10);
  ctl.SentenciaSQL("select * from clientes");
  for (const Trovel2Case& k : kTrovel2Cases) {
    SCOPED_TRACE(k.name);
    Restart();
    ctl.OrderBy(k.order);
    BackToFilter();
    for (const auto& [col, text] : k.filters) {
      TypeIn(col, text);
      Enter();
    }
    for (const Step& s : k.steps) {
      const std::string action = s.action;
      Act(action);
      std::string state = State();  // without its row count, which the codes tell
      const size_t rows = state.find(" rows:"), after = state.find(' ', rows + 1);
      state = state.substr(0, rows) + (after == std::string::npos ? "" : state.substr(after));
      const auto cells = [this](int r) {
        Strings out;
        for (int c = 0; c < ctl.grdDatos.Cols(); ++c) out.push_back(ctl.grdDatos.TextMatrix(r, c));
        return out;
      };
      const std::string shown = Codes(cells, 2, false) + " " + state +
                                Happenings([this](const HeadlessHost::RaisedEvent& e) {
                                  return e.name + (e.name == "evtSeleccionar" ? " " + Values() : "");
                                });
      EXPECT_EQ(shown, s.expected) << action;
    }
    EXPECT_EQ(log->statements, Strings{k.statement});
  }
}

INSTANTIATE_TEST_SUITE_P(Backends, CtlTrovel2Contract, ::testing::Values("sqlite", "postgresql", "mariadb", "pgodbc", "pgbouncer"),
                         BackendOf);

}  // namespace
}  // namespace trovel
