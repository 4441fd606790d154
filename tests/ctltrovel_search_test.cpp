// ctlTrovel: the statement a read sends, loading the first block of rows,
// paging, selection, exit and the enabled state of the buttons.
#include <algorithm>

#include "tests/ClosingForm.h"
#include "tests/CtlTrovelFixture.h"

namespace trovel {
namespace {

using Strings = std::vector<std::string>;

class SearchTest : public CtlTrovelTest {
 protected:
  // The five texts of the last evtSeleccionar the host heard.
  Strings LastSelection() {
    for (auto it = host.events.rbegin(); it != host.events.rend(); ++it)
      if (it->name == "evtSeleccionar") return it->args;
    return {};
  }
  int Count(const std::string& event) {
    return std::count_if(host.events.begin(), host.events.end(), [&](const auto& e) { return e.name == event; });
  }
  // Row i as AddClientes fills it and ConfigureClientes shows it.
  static Strings Cliente(int i) {
    const std::string digits = std::to_string(i);
    return {"C" + std::string(3 - digits.size(), '0') + digits, "Nombre " + digits};
  }
};

TEST_F(SearchTest, WorkedExampleSendsExactStatementAndShowsMatchingRows) {
  db->Execute("insert into clientes (codigo, nombre) values ('A1', 'Zoe'), ('B1', 'Ana'), ('A2', 'Luis')");
  ConfigureClientes();
  ctl.OrderBy("nombre");
  ctl.txtCodigo.SetText("A%");
  EXPECT_EQ(Read(), "SELECT CODIGO, NOMBRE FROM CLIENTES where 1=1  and codigo like 'A%' ORDER BY nombre");
  EXPECT_TRUE(host.messages.empty());
  ASSERT_EQ(ctl.grdDatos.Rows(), 3);  // header, Luis, Zoe; the blank row is gone
  EXPECT_EQ(Row(1), (Strings{"A2", "Luis"}));
  EXPECT_EQ(Row(2), (Strings{"A1", "Zoe"}));
}

// The boxes upper-case what is typed; the name is still found, accents
// included, and only with its accents.
TEST_F(SearchTest, LowerCaseAccentedNameTypedIntoABoxFindsItsRow) {
  db->Execute("insert into clientes (codigo, nombre) values ('A1', 'Ana García'), ('A2', 'ANA GARCIA'), ('A3', 'Anabel')");
  ConfigureClientes();
  TypeInto(ctl.txtNombre, "ana garcía%");
  EXPECT_EQ(Read(), "SELECT CODIGO, NOMBRE FROM CLIENTES where 1=1  and nombre like 'ANA GARCÍA%' ORDER BY codigo");
  EXPECT_TRUE(host.messages.empty());
  ASSERT_EQ(DataRows(), 1);
  EXPECT_EQ(Row(1), (Strings{"A1", "Ana García"}));
}

TEST_F(SearchTest, OneConditionPerFilledBoxByTypeCodeInColumnOrder) {
  ctl.SentenciaSQL("select * from clientes");
  SetFields({"codigo", "n", "alta", "nombre"});
  ctl.TipoCampo2("NUM");
  ctl.TipoCampo3("FEC");
  ctl.txtCodigo.SetText("c%");  // filter text keeps its case
  ctl.txtNombre.SetText("12");
  ctl.txtcol3.SetText("25/12/2001");
  ctl.txtcol4.SetText("O'B");  // apostrophe not doubled
  EXPECT_EQ(Read(),
            "SELECT * FROM CLIENTES where 1=1  and codigo like 'c%' and n = 12 and alta = #12/25/2001# and nombre "
            "like 'O'B'");
  // A lower-case code matches nothing; an empty box adds nothing; a box of blanks does.
  ctl.TipoCampo2("num");
  ctl.txtcol3.SetText("");
  ctl.txtcol4.SetText("  ");
  EXPECT_EQ(Read(), "SELECT * FROM CLIENTES where 1=1  and codigo like 'c%' and nombre like '  '");
  // Visibility does not matter, only the text.
  ctl.txtCodigo.SetText("");
  ctl.txtcol4.SetVisible(false);
  ctl.txtcol4.SetText("X");
  EXPECT_EQ(Read(), "SELECT * FROM CLIENTES where 1=1  and nombre like 'X'");
  // A table name prefixes its column, with exactly one point between them.
  ctl.TipoCampo2("NUM");
  ctl.N_Tabla2("cli");
  ctl.N_Tabla4("cli.");
  EXPECT_EQ(Read(), "SELECT * FROM CLIENTES where 1=1  and cli.n = 12 and cli.nombre like 'X'");
}

TEST_F(SearchTest, DateConditionFollowsFormatAndDelimiter) {
  db->Execute("insert into clientes (codigo, alta) values ('X', '2001-12-25'), ('Y', '2001-12-24')");
  ctl.SentenciaSQL("select codigo, alta from clientes");
  SetFields({"alta", "codigo"});
  ctl.TipoCampo1("FEC");
  auto read = [&](const std::string& format, const std::string& delimiter, const std::string& text) {
    ctl.FormatoFecha(format);
    ctl.SeparaFecha(delimiter);
    ctl.txtCodigo.SetText(text);
    return Read();
  };
  const std::string base = "SELECT CODIGO, ALTA FROM CLIENTES where 1=1  and alta = ";
  EXPECT_EQ(read("dd/mm/yyyy", "#", "25/12/2001"), base + "#12/25/2001#");
  // The month-first literal finds the stored date.
  ASSERT_EQ(DataRows(), 1);
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 0), "25/12/2001");
  // A day-first format in any case swaps day and month, another sends the text as typed.
  EXPECT_EQ(read("DD/MM/YYYY", "#", "25/12/2001"), base + "#12/25/2001#");
  EXPECT_EQ(read("yyyy-mm-dd", "#", "2001/12/25"), base + "#2001/12/25#");
  EXPECT_EQ(read("dd/mm/yyyy", "'", "25/12/2001"), base + "'12/25/2001'");
  EXPECT_EQ(read("dd/mm/yyyy", "#", "25/1"), base + "#1/25/#");  // parts beyond the end are empty
}

// The filters join an existing where clause, found anywhere after upper-casing; the order is added in either form.
TEST_F(SearchTest, WhereAndOrderByJoinTheStatement) {
  ctl.N_Campo1("codigo");
  EXPECT_EQ(Read(), " where 1=1 ");
  ctl.SentenciaSQL("select * from clientes where saldo > 0");
  ctl.txtCodigo.SetText("A%");
  EXPECT_EQ(Read(), "SELECT * FROM CLIENTES WHERE SALDO > 0 and codigo like 'A%'");
  ctl.txtCodigo.SetText("");
  ctl.SentenciaSQL("select * from nowhere");
  EXPECT_EQ(Read(), "SELECT * FROM NOWHERE");
  ctl.SentenciaSQL("select codigo from clientes where nombre = 'ana'");
  EXPECT_EQ(Read(), "SELECT CODIGO FROM CLIENTES WHERE NOMBRE = 'ANA'");
  ctl.SentenciaSQL("select * from clientes");
  ctl.OrderBy("nombre desc");
  EXPECT_EQ(Read(), "SELECT * FROM CLIENTES where 1=1  ORDER BY nombre desc");
  ctl.OrderBy("order by nombre");
  EXPECT_EQ(Read(), "SELECT * FROM CLIENTES where 1=1  order by nombre");
  ctl.OrderBy("codigo, nombre Order By x");
  EXPECT_EQ(Read(), "SELECT * FROM CLIENTES where 1=1  codigo, nombre Order By x");
}

// A read shows at most 51 rows and Siguiente appends the next blocks from the same cursor. When the data ends the
// grid takes the focus and Siguiente goes off; the end is tested before the block, so exactly 51 remaining rows
// end paging at once while 52 need one more press.
TEST_F(SearchTest, BlocksOfFiftyOneRowsUntilTheEnd) {
  const Strings header = Row(0);
  for (const auto& [count, blocks] : std::vector<std::pair<int, std::vector<int>>>{
           {1, {1}}, {51, {51}}, {52, {51, 52}}, {102, {51, 102}}, {103, {51, 102, 103}}, {120, {51, 102, 120}}}) {
    SCOPED_TRACE(count);
    db->Execute("delete from clientes");
    AddClientes(count);
    ConfigureClientes();
    ctl.p_Boton_Leer();
    host.SetFocus(&ctl.txtCodigo);
    ctl.p_leer();
    const bool more = blocks.size() > 1;
    EXPECT_EQ(Buttons(), more ? "1111" : "1011");
    EXPECT_EQ(host.FocusedWidget(), more ? static_cast<Widget*>(&ctl.txtCodigo) : &ctl.grdDatos);
    log->calls.clear();
    for (size_t i = 0; i < blocks.size(); ++i) {
      if (i > 0) ctl.cmdSiguiente.Click();
      const int first = i == 0 ? 1 : blocks[i - 1] + 1;
      ASSERT_EQ(DataRows(), blocks[i]);  // the first row replaces the blank row
      EXPECT_EQ(Row(first), Cliente(first));
      EXPECT_EQ(Row(blocks[i]), Cliente(blocks[i]));
      EXPECT_EQ(ctl.cmdSiguiente.Enabled(), i + 1 < blocks.size()) << "after block " << i;
      // The block's first row is the current one, the row a selection reads.
      EXPECT_EQ(ctl.grdDatos.Row(), first) << "after block " << i;
    }
    EXPECT_EQ(Row(0), header);
    EXPECT_TRUE(log->calls.empty());  // paging neither opens nor closes a cursor
  }
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(SearchTest, EmptyResultShowsMessageKeepsButtonsAndCursor) {
  ConfigureClientes();
  ctl.p_leer();
  ExpectOneCriticalMessage("No existen registros");
  ExpectOnlyBlankRow();
  EXPECT_EQ(Buttons(), "1111");
  ctl.p_Boton_Leer();
  ctl.p_leer();
  EXPECT_EQ(Buttons(), "1001");
  // The first empty cursor was closed before the second open; the second is still held.
  EXPECT_EQ(log->calls, (Strings{"Open", "Close", "Open"}));
  // A selection on the blank row passes empty texts and closes the cursor.
  ctl.grdDatos.onDblClick();
  EXPECT_EQ(LastSelection(), (Strings{"", "", "", "", ""}));
  EXPECT_EQ(log->calls.back(), "Close");
}

TEST_F(SearchTest, CellsFormatDatesInColumnsOneToFourOnlyAndNullsAreEmpty) {
  db->Execute("insert into clientes values ('K7', null, '2001-12-25', 2.5, 7)");
  ctl.SentenciaSQL("select * from clientes");
  ctl.GridFormat("a|b|c|d|e|f");
  // Column 4 is a "TEX" column and column 5 never uses the date format: both show the date as plain text.
  SetFields({"alta", "codigo", "nombre", "alta", "alta", "n"});
  ctl.TipoCampo1("FEC");
  ctl.FormatoFecha("yyyy.mm.dd");
  ctl.p_leer();
  ASSERT_EQ(DataRows(), 1);
  const std::string plain = Variant(DateTime{2001, 12, 25, 0, 0, 0}).ToString();
  ASSERT_NE(plain, "2001.12.25");
  EXPECT_EQ(Row(1), (Strings{"2001.12.25", "K7", "", plain, plain, "7"}));
  // A null in the date column is an empty cell too.
  db->Execute("update clientes set alta = null");
  ctl.p_leer();
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 0), "");
  // An amount shows its ordinary text, a round one included.
  db->Execute("update clientes set saldo = 1000");
  ctl.N_Campo6("saldo");
  ctl.p_leer();
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 5), "1000");
  EXPECT_TRUE(host.messages.empty());
}

// Each failure shows the connection's own description and leaves the grid with only its blank row.
TEST_F(SearchTest, FailuresShowTheirOwnDescription) {
  AddClientes(3);
  ConfigureClientes();
  ctl.p_leer();
  // A statement the connection rejects: the old cursor is closed first.
  ctl.SentenciaSQL("delete from clientes");
  ctl.OrderBy("");
  ctl.p_leer();
  EXPECT_EQ(log->calls, (Strings{"Open", "Close", "Open"}));
  ExpectOneCriticalMessage(FailureOf([&] { Open("DELETE FROM CLIENTES where 1=1 "); }));
  ExpectOnlyBlankRow();
  // A field the cursor lacks: stops at the first row.
  host.messages.clear();
  ctl.SentenciaSQL("select codigo, nombre from clientes");
  ctl.N_Campo2("direccion");
  ctl.p_leer();
  ExpectOneCriticalMessage(FailureOf([&] { Open("select codigo from clientes")->Fields().Item("direccion"); }));
  ExpectOnlyBlankRow();
  // A ninth grid column, which has no field name: stops at the first row too.
  host.messages.clear();
  SetFields(Strings(8, "codigo"));
  ctl.SentenciaSQL("select * from clientes");
  ctl.NumCol(9);
  ctl.p_leer();
  ASSERT_NO_FATAL_FAILURE(ExpectOneCriticalMessage());
  EXPECT_NE(host.messages[0].text, "No existen registros");
  ExpectOnlyBlankRow();
}

// Without a connection a read still releases the old cursor before it fails; Quit releases cursor and connection,
// once.
TEST_F(SearchTest, ReadWithoutConnectionAndQuitReleaseTheCursorOnce) {
  AddClientes(60);
  ConfigureClientes();
  ctl.p_leer();
  ctl.glbDb(nullptr);
  ctl.p_leer();
  EXPECT_EQ(log->calls, (Strings{"Open", "Close"}));
  ExpectOneCriticalMessage();
  host.messages.clear();
  log->calls.clear();
  ctl.glbDb(conn);
  ctl.p_leer();
  ctl.Quit();
  EXPECT_EQ(log->calls, (Strings{"Open", "Close"}));
  EXPECT_EQ(ctl.glbDb(), nullptr);
  EXPECT_TRUE(host.events.empty());
  EXPECT_EQ(DataRows(), 51);
  ctl.Quit();
  ctl.p_leer();
  ExpectOneCriticalMessage();
  EXPECT_EQ(log->calls.size(), 2u);  // neither the second Quit nor the read touched a cursor
}

TEST_F(SearchTest, FailingCloseKeepsTheCursorHeld) {
  AddClientes(120);
  ConfigureClientes();
  ctl.p_leer();
  log->failing_close = "cursor busy";
  ctl.p_leer();
  ExpectOneCriticalMessage("cursor busy");
  EXPECT_EQ(log->calls, (Strings{"Open", "Close"}));  // no second open
  EXPECT_THROW(ctl.Quit(), std::runtime_error);
  EXPECT_EQ(ctl.glbDb(), conn);
  log->failing_close.clear();
  ctl.cmdSiguiente.Click();  // the held cursor pages on below the reset grid's blank row
  EXPECT_EQ(DataRows(), 52);
  EXPECT_EQ(Row(2), Cliente(52));
}

TEST_F(SearchTest, ButtonStatesThroughASearch) {
  EXPECT_EQ(Buttons(), "1111");  // created
  AddClientes(120);
  ConfigureClientes();
  ctl.p_leer();
  ctl.p_Boton_Leer();
  EXPECT_EQ(Buttons(), "1001");
  EXPECT_EQ(DataRows(), 51);  // grid and cursor untouched: the cursor still pages on
  ctl.cmdSiguiente.SetValue(true);
  EXPECT_EQ(DataRows(), 102);
  EXPECT_EQ(Buttons(), "1001");  // block full: same
  ctl.cmdSiguiente.SetEnabled(true);
  ctl.cmdSiguiente.Click();
  EXPECT_EQ(Buttons(), "1001");  // reaches the end: select same
  ctl.OrderBy("nombre");
  ctl.txtCodigo.SetText("C00%");
  ctl.p_leer();
  EXPECT_EQ(Buttons(), "1011");  // all rows shown
  ctl.cmdSeleccionar.Click();
  ctl.cmdSalir.Click();
  ctl.Quit();
  EXPECT_EQ(Buttons(), "1011");  // selection, exit, Quit: same
}

TEST_F(SearchTest, SelectionPayloadDependsOnColumnCount) {
  for (int cols = 2; cols <= 10; ++cols) {
    ctl.NumCol(static_cast<int16_t>(cols));
    ctl.grdDatos.SetRows(1);
    ctl.grdDatos.AddItem("c0\tc1\tc2\tc3\tc4\tc5\tc6\tc7\tc8\tc9");
    ctl.grdDatos.SetRow(1);
    ctl.cmdSeleccionar.Click();
    Strings expected = {"c0", "c1", "", "", ""};
    for (int k = 2; k <= 4; ++k)
      if (cols > k && cols <= 8) expected[k] = "c" + std::to_string(k);  // columns 3 to 5 only up to 8 columns
    EXPECT_EQ(LastSelection(), expected) << cols << " columns";
  }
  EXPECT_EQ(Count("evtSeleccionar"), 9);
}

TEST_F(SearchTest, SelectionClosesCursorBeforeEventAndReadsCurrentRow) {
  AddClientes(5);
  ConfigureClientes();
  ctl.SentenciaSQL("select * from clientes");
  ctl.GridFormat("a|b|c|d|e|f|g|h");
  SetFields({"codigo", "nombre", "n", "alta", "n", "alta", "n", "alta"});
  ctl.p_leer();
  ctl.grdDatos.SetRow(3);
  Strings calls_at_event;
  host.onEvent = [&](const std::string&, const std::vector<Variant*>&) { calls_at_event = log->calls; };
  ctl.cmdSeleccionar.Click();
  EXPECT_EQ(calls_at_event, (Strings{"Open", "Close"}));
  EXPECT_EQ(LastSelection(), (Strings{"C003", "Nombre 3", "3", ctl.grdDatos.TextMatrix(3, 3), "3"}));
  EXPECT_EQ(DataRows(), 5);  // the grid is not changed
  // With the select button off a click or another key selects nothing, but Enter and a double-click do.
  ctl.p_leer();
  ctl.p_Boton_Leer();
  ctl.cmdSeleccionar.Click();
  host.TypeKey(ctl.grdDatos, 'x');
  EXPECT_EQ(Count("evtSeleccionar"), 1);
  EXPECT_EQ(log->calls, (Strings{"Open", "Close", "Open"}));
  ctl.grdDatos.SetRow(2);
  host.TypeKey(ctl.grdDatos, 13);
  EXPECT_EQ(LastSelection(), (Strings{"C002", "Nombre 2", "2", ctl.grdDatos.TextMatrix(2, 3), "2"}));
  ctl.p_leer();
  ctl.p_Boton_Leer();
  ctl.grdDatos.SetRow(4);
  ctl.grdDatos.onDblClick();
  EXPECT_EQ(LastSelection(), (Strings{"C004", "Nombre 4", "4", ctl.grdDatos.TextMatrix(4, 3), "4"}));
  EXPECT_EQ(log->calls, (Strings{"Open", "Close", "Open", "Close", "Open", "Close"}));
  // Without a current row the cursor is still closed first, and nothing is raised.
  log->calls.clear();
  ctl.p_leer();
  ctl.grdDatos.SetRow(0);
  ctl.cmdSeleccionar.Click();
  EXPECT_EQ(log->calls, (Strings{"Open", "Close"}));
  EXPECT_EQ(Count("evtSeleccionar"), 3);
}

// Without a cursor Siguiente only shows a message and stays enabled; Salir closes the cursor and raises evtsalir.
TEST_F(SearchTest, ExitClosesCursorAndNextWithoutCursorShowsMessageOnly) {
  ctl.cmdSiguiente.Click();  // before any read
  ExpectOneCriticalMessage();
  EXPECT_TRUE(ctl.cmdSiguiente.Enabled());
  ExpectOnlyBlankRow();
  ctl.cmdSalir.Click();  // even before any read
  ASSERT_EQ(Count("evtsalir"), 1);
  EXPECT_TRUE(host.events[0].args.empty());
  EXPECT_TRUE(log->calls.empty());
  AddClientes(60);
  ConfigureClientes();
  ctl.p_leer();
  bool heard = false;
  ctl.evtsalir = [&] { heard = true; };
  ctl.cmdSalir.Click();
  EXPECT_TRUE(heard);
  EXPECT_EQ(Count("evtsalir"), 2);
  EXPECT_EQ(log->calls, (Strings{"Open", "Close"}));
  EXPECT_EQ(DataRows(), 51);
  EXPECT_TRUE(ctl.cmdSiguiente.Enabled());  // may stay enabled without a cursor
  ctl.cmdSiguiente.Click();
  EXPECT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(DataRows(), 51);
}

TEST_F(SearchTest, TheFormMayDestroyTheControlInItsEventHandlers) {
  AddClientes(3);
  ExpectTheFormMayCloseInItsHandlers<ctlTrovel>(
      host,
      [&] {
        auto c = std::make_unique<ctlTrovel>(host);
        ConfigureClientes(*c);
        c->glbDb(conn);
        c->p_leer();
        return c;
      },
      [](ctlTrovel& c, const std::function<void()>& close) {
        c.evtSeleccionar = [close](Variant&, Variant&, Variant&, Variant&, Variant&) { close(); };
        c.evtsalir = close;
      });
}

}  // namespace
}  // namespace trovel
