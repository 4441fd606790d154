// ctlTrovel: the statement a read sends, loading the first block of rows,
// paging, selection, exit and the enabled state of the buttons.
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
    int n = 0;
    for (auto& e : host.events) n += e.name == event;
    return n;
  }
};

TEST_F(SearchTest, WorkedExampleSendsExactStatementAndShowsMatchingRows) {
  db->Execute("insert into clientes (codigo, nombre) values ('A1', 'Zoe'), ('B1', 'Ana'), ('A2', 'Luis')");
  ctl.SentenciaSQL("select codigo, nombre from clientes");
  ctl.N_Campo1("codigo");
  ctl.N_Campo2("nombre");
  ctl.txtCodigo.SetText("A%");
  ctl.OrderBy("nombre");
  EXPECT_EQ(Read(), "SELECT CODIGO, NOMBRE FROM CLIENTES where 1=1  and codigo like 'A%' ORDER BY nombre");
  EXPECT_TRUE(host.messages.empty());
  ASSERT_EQ(ctl.grdDatos.Rows(), 3);  // header, Luis, Zoe; the blank row is gone
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 0), "A2");
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 1), "Luis");
  EXPECT_EQ(ctl.grdDatos.TextMatrix(2, 1), "Zoe");
}

TEST_F(SearchTest, OneConditionPerFilledBoxByTypeCodeInColumnOrder) {
  ctl.SentenciaSQL("select * from clientes");
  ctl.N_Campo1("codigo");
  ctl.N_Campo2("n");
  ctl.N_Campo3("alta");
  ctl.N_Campo4("nombre");
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
}

TEST_F(SearchTest, DateConditionFollowsFormatAndDelimiter) {
  db->Execute("insert into clientes (codigo, alta) values ('X', '2001-12-25'), ('Y', '2001-12-24')");
  ctl.SentenciaSQL("select codigo, alta from clientes");
  ctl.N_Campo1("alta");
  ctl.N_Campo2("codigo");
  ctl.TipoCampo1("FEC");
  ctl.txtCodigo.SetText("25/12/2001");
  const std::string base = "SELECT CODIGO, ALTA FROM CLIENTES where 1=1  and alta = ";
  EXPECT_EQ(Read(), base + "#12/25/2001#");
  // The month-first literal finds the stored date.
  ASSERT_EQ(DataRows(), 1);
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 0), "25/12/2001");
  ctl.FormatoFecha("DD/MM/YYYY");
  EXPECT_EQ(Read(), base + "#12/25/2001#");
  ctl.FormatoFecha("yyyy-mm-dd");
  ctl.txtCodigo.SetText("2001/12/25");
  EXPECT_EQ(Read(), base + "#2001/12/25#");
  ctl.FormatoFecha("dd/mm/yyyy");
  ctl.SeparaFecha("'");
  ctl.txtCodigo.SetText("25/12/2001");
  EXPECT_EQ(Read(), base + "'12/25/2001'");
  ctl.SeparaFecha("#");
  ctl.txtCodigo.SetText("25/1");  // parts beyond the end are empty
  EXPECT_EQ(Read(), base + "#1/25/#");
}

TEST_F(SearchTest, WhereIsDetectedAnywhereAfterUpperCasing) {
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
}

TEST_F(SearchTest, TablePrefixesGetOnePoint) {
  ctl.SentenciaSQL("select * from clientes cli");
  ctl.N_Campo1("codigo");
  ctl.N_Campo2("n");
  ctl.TipoCampo2("NUM");
  ctl.N_Tabla1("cli");
  ctl.N_Tabla2("cli.");
  ctl.txtCodigo.SetText("A%");
  ctl.txtNombre.SetText("1");
  EXPECT_EQ(Read(), "SELECT * FROM CLIENTES CLI where 1=1  and cli.codigo like 'A%' and cli.n = 1");
}

TEST_F(SearchTest, OrderByIsAddedInEitherForm) {
  ctl.SentenciaSQL("select * from clientes");
  ctl.OrderBy("nombre desc");
  EXPECT_EQ(Read(), "SELECT * FROM CLIENTES where 1=1  ORDER BY nombre desc");
  ctl.OrderBy("order by nombre");
  EXPECT_EQ(Read(), "SELECT * FROM CLIENTES where 1=1  order by nombre");
  ctl.OrderBy("codigo, nombre Order By x");
  EXPECT_EQ(Read(), "SELECT * FROM CLIENTES where 1=1  codigo, nombre Order By x");
}

TEST_F(SearchTest, FiftyOneRowsShowAllAndFocusTheGrid) {
  AddClientes(51);
  ConfigureClientes();
  ctl.p_Boton_Leer();
  host.SetFocus(&ctl.txtCodigo);
  ctl.p_leer();
  EXPECT_EQ(DataRows(), 51);
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 0), "C001");
  EXPECT_EQ(ctl.grdDatos.TextMatrix(51, 1), "Nombre 51");
  EXPECT_FALSE(ctl.cmdSiguiente.Enabled());
  EXPECT_TRUE(ctl.cmdSeleccionar.Enabled());
  EXPECT_EQ(host.FocusedWidget(), &ctl.grdDatos);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(SearchTest, FiftyTwoRowsShowFiftyOneAndEnableBothButtons) {
  AddClientes(52);
  ConfigureClientes();
  ctl.p_Boton_Leer();
  host.SetFocus(&ctl.txtCodigo);
  ctl.p_leer();
  EXPECT_EQ(DataRows(), 51);
  EXPECT_EQ(ctl.grdDatos.TextMatrix(51, 0), "C051");
  EXPECT_TRUE(ctl.cmdSiguiente.Enabled());
  EXPECT_TRUE(ctl.cmdSeleccionar.Enabled());
  EXPECT_EQ(host.FocusedWidget(), &ctl.txtCodigo);
}

TEST_F(SearchTest, OneRowReplacesTheBlankRow) {
  AddClientes(1);
  ConfigureClientes();
  const std::string header = ctl.grdDatos.TextMatrix(0, 1);
  ctl.p_leer();
  ASSERT_EQ(ctl.grdDatos.Rows(), 2);
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 0), "C001");
  EXPECT_EQ(ctl.grdDatos.TextMatrix(0, 1), header);
}

TEST_F(SearchTest, EmptyResultShowsMessageKeepsButtonsAndCursor) {
  ConfigureClientes();
  ctl.p_leer();
  ExpectOneCriticalMessage("No existen registros");
  EXPECT_EQ(ctl.grdDatos.Rows(), 2);
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 0), "");
  EXPECT_TRUE(ctl.cmdSiguiente.Enabled());
  EXPECT_TRUE(ctl.cmdSeleccionar.Enabled());
  ctl.p_Boton_Leer();
  ctl.p_leer();
  EXPECT_FALSE(ctl.cmdSiguiente.Enabled());
  EXPECT_FALSE(ctl.cmdSeleccionar.Enabled());
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
  ctl.N_Campo1("alta");
  ctl.TipoCampo1("FEC");
  ctl.N_Campo2("codigo");
  ctl.N_Campo3("nombre");
  ctl.N_Campo4("alta");  // a "TEX" column: plain text
  ctl.N_Campo5("alta");  // column 5 never uses the date format
  ctl.N_Campo6("n");
  ctl.FormatoFecha("yyyy.mm.dd");
  ctl.p_leer();
  ASSERT_EQ(DataRows(), 1);
  const std::string plain = Variant(DateTime{2001, 12, 25, 0, 0, 0}).ToString();
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 0), "2001.12.25");
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 1), "K7");
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 2), "");
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 3), plain);
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 4), plain);
  EXPECT_NE(plain, "2001.12.25");
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 5), "7");
  // A null in the date column is an empty cell too.
  db->Execute("update clientes set alta = null");
  ctl.p_leer();
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 0), "");
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(SearchTest, FailuresShowTheirOwnDescription) {
  AddClientes(3);
  ConfigureClientes();
  ctl.p_leer();
  // A statement the connection rejects: the old cursor is closed first.
  ctl.SentenciaSQL("delete from clientes");
  ctl.OrderBy("");
  ctl.p_leer();
  EXPECT_EQ(log->calls, (Strings{"Open", "Close", "Open"}));
  ExpectOneCriticalMessage(FailureOf("DELETE FROM CLIENTES where 1=1 "));
  EXPECT_EQ(ctl.grdDatos.Rows(), 2);
  // A field the cursor lacks: stops at the first row, the blank row stays.
  host.messages.clear();
  ctl.SentenciaSQL("select codigo, nombre from clientes");
  ctl.N_Campo2("direccion");
  ctl.p_leer();
  std::string missing;
  try {
    std::string sql = "select codigo from clientes";
    bool flag = false;
    db->OpenCursor(sql, flag)->Fields().Item("direccion");
  } catch (const std::exception& e) {
    missing = e.what();
  }
  ExpectOneCriticalMessage(missing);
  EXPECT_EQ(ctl.grdDatos.Rows(), 2);
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 0), "");
}

TEST_F(SearchTest, NineColumnGridStopsAtFirstRow) {
  AddClientes(3);
  ConfigureClientes();
  for (const char* name : {"N_Campo3", "N_Campo4", "N_Campo5", "N_Campo6", "N_Campo7", "N_Campo8"})
    ctl.SetProperty(name, "codigo");
  ctl.SentenciaSQL("select * from clientes");
  ctl.NumCol(9);
  ctl.p_leer();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text, "No existen registros");
  EXPECT_EQ(host.messages[0].style, 16);
  EXPECT_EQ(host.messages[0].title, "Mensaje");
  EXPECT_EQ(ctl.grdDatos.Rows(), 2);
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 0), "");
}

TEST_F(SearchTest, ReadWithoutConnectionFailsAfterReleasingOldCursor) {
  AddClientes(3);
  ConfigureClientes();
  ctl.p_leer();
  ctl.glbDb(nullptr);
  ctl.p_leer();
  EXPECT_EQ(log->calls, (Strings{"Open", "Close"}));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].style, 16);
  EXPECT_EQ(host.messages[0].title, "Mensaje");
  // The next button now has no cursor either.
  ctl.cmdSiguiente.SetValue(true);
  EXPECT_EQ(host.messages.size(), 2u);
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
  EXPECT_EQ(ctl.grdDatos.TextMatrix(2, 0), "C052");
}

TEST_F(SearchTest, HundredTwentyRowsPageInThreeSteps) {
  AddClientes(120);
  ConfigureClientes();
  const std::string header = ctl.grdDatos.TextMatrix(0, 0);
  ctl.p_leer();
  EXPECT_EQ(DataRows(), 51);
  EXPECT_TRUE(ctl.cmdSiguiente.Enabled());
  ctl.cmdSiguiente.Click();
  EXPECT_EQ(DataRows(), 102);
  EXPECT_EQ(ctl.grdDatos.TextMatrix(52, 0), "C052");
  EXPECT_TRUE(ctl.cmdSiguiente.Enabled());
  ctl.cmdSiguiente.Click();
  EXPECT_EQ(DataRows(), 120);
  EXPECT_EQ(ctl.grdDatos.TextMatrix(120, 0), "C120");
  EXPECT_EQ(ctl.grdDatos.TextMatrix(0, 0), header);
  EXPECT_FALSE(ctl.cmdSiguiente.Enabled());
  EXPECT_EQ(log->calls, (Strings{"Open"}));  // one cursor for all three blocks
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(SearchTest, NextPressEndTestComesBeforeBlockTest) {
  AddClientes(102);  // 51 remain after the read
  ConfigureClientes();
  ctl.p_leer();
  ctl.cmdSiguiente.Click();
  EXPECT_EQ(DataRows(), 102);
  EXPECT_FALSE(ctl.cmdSiguiente.Enabled());
  db->Execute("insert into clientes values ('C103', 'x', null, null, 103)");  // 52 remain
  ctl.p_leer();
  ctl.cmdSiguiente.Click();
  EXPECT_EQ(DataRows(), 102);
  EXPECT_TRUE(ctl.cmdSiguiente.Enabled());
  ctl.cmdSiguiente.Click();
  EXPECT_EQ(DataRows(), 103);
  EXPECT_FALSE(ctl.cmdSiguiente.Enabled());
}

TEST_F(SearchTest, ButtonStatesThroughASearch) {
  auto states = [&] {
    return std::vector<bool>{ctl.cmdLeer.Enabled(), ctl.cmdSiguiente.Enabled(), ctl.cmdSeleccionar.Enabled(),
                             ctl.cmdSalir.Enabled()};
  };
  using B = std::vector<bool>;
  EXPECT_EQ(states(), (B{true, true, true, true}));  // created
  AddClientes(120);
  ConfigureClientes();
  ctl.p_leer();
  EXPECT_EQ(states(), (B{true, true, true, true}));  // more rows than the block
  ctl.p_Boton_Leer();
  EXPECT_EQ(states(), (B{true, false, false, true}));
  EXPECT_EQ(DataRows(), 51);  // grid and cursor untouched: the cursor still pages on
  ctl.cmdSiguiente.SetValue(true);
  EXPECT_EQ(DataRows(), 102);
  EXPECT_EQ(states(), (B{true, false, false, true}));  // block full: same
  ctl.cmdSiguiente.SetEnabled(true);
  ctl.cmdSiguiente.Click();
  EXPECT_EQ(states(), (B{true, false, false, true}));  // reaches the end: select same
  ctl.OrderBy("nombre");
  ctl.txtCodigo.SetText("C00%");
  ctl.p_leer();
  EXPECT_EQ(states(), (B{true, false, true, true}));  // all rows shown
  ctl.txtCodigo.SetText("none");
  ctl.p_leer();
  EXPECT_EQ(states(), (B{true, false, true, true}));  // no rows: same
  ctl.cmdSeleccionar.Click();
  ctl.cmdSalir.Click();
  ctl.Quit();
  EXPECT_EQ(states(), (B{true, false, true, true}));  // selection, exit, Quit: same
}

TEST_F(SearchTest, SelectionPayloadDependsOnColumnCount) {
  const Strings cells = {"c0", "c1", "c2", "c3", "c4", "c5", "c6", "c7", "c8", "c9"};
  for (int cols = 2; cols <= 10; ++cols) {
    ctl.NumCol(static_cast<int16_t>(cols));
    ctl.grdDatos.SetRows(1);
    ctl.grdDatos.AddItem("c0\tc1\tc2\tc3\tc4\tc5\tc6\tc7\tc8\tc9");
    ctl.grdDatos.SetRow(1);
    ctl.cmdSeleccionar.Click();
    Strings expected = {"c0", "c1", "", "", ""};
    if (cols >= 3 && cols <= 8) expected[2] = "c2";
    if (cols >= 4 && cols <= 8) expected[3] = "c3";
    if (cols >= 5 && cols <= 8) expected[4] = "c4";
    EXPECT_EQ(LastSelection(), expected) << cols << " columns";
  }
  EXPECT_EQ(Count("evtSeleccionar"), 9);
}

TEST_F(SearchTest, SelectionClosesCursorBeforeEventAndReadsCurrentRow) {
  AddClientes(5);
  ConfigureClientes();
  ctl.SentenciaSQL("select * from clientes");
  ctl.GridFormat("a|b|c|d|e|f|g|h");
  for (int n = 3; n <= 8; ++n) ctl.SetProperty("N_Campo" + std::to_string(n), n % 2 ? "n" : "alta");
  ctl.p_leer();
  ctl.grdDatos.SetRow(3);
  Strings calls_at_event;
  host.onEvent = [&](const std::string&, const std::vector<Variant*>&) { calls_at_event = log->calls; };
  ctl.cmdSeleccionar.Click();
  EXPECT_EQ(calls_at_event, (Strings{"Open", "Close"}));
  EXPECT_EQ(LastSelection(), (Strings{"C003", "Nombre 3", "3", ctl.grdDatos.TextMatrix(3, 3), "3"}));
  EXPECT_EQ(DataRows(), 5);  // the grid is not changed
  // Without a current row the cursor is still closed first, and nothing is raised.
  ctl.p_leer();
  ctl.grdDatos.SetRow(0);
  ctl.cmdSeleccionar.Click();
  EXPECT_EQ(log->calls, (Strings{"Open", "Close", "Open", "Close"}));
  EXPECT_EQ(Count("evtSeleccionar"), 1);
  // No cursor is held now: the next button fails with a message and changes nothing.
  ctl.cmdSiguiente.SetValue(true);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].style, 16);
  EXPECT_EQ(DataRows(), 5);
}

TEST_F(SearchTest, EnterAndDoubleClickSelectWhileSelectButtonDisabled) {
  AddClientes(3);
  ConfigureClientes();
  ctl.p_leer();
  ctl.p_Boton_Leer();
  ctl.cmdSeleccionar.Click();  // a disabled button cannot be clicked
  host.TypeKey(ctl.grdDatos, 'x');
  EXPECT_EQ(Count("evtSeleccionar"), 0);
  EXPECT_EQ(log->calls, (Strings{"Open"}));
  ctl.grdDatos.SetRow(2);
  host.TypeKey(ctl.grdDatos, 13);
  EXPECT_EQ(LastSelection(), (Strings{"C002", "Nombre 2", "", "", ""}));
  EXPECT_EQ(log->calls, (Strings{"Open", "Close"}));
  ctl.p_leer();
  ctl.p_Boton_Leer();
  ctl.grdDatos.SetRow(3);
  ctl.grdDatos.onDblClick();
  EXPECT_EQ(LastSelection(), (Strings{"C003", "Nombre 3", "", "", ""}));
  EXPECT_EQ(Count("evtSeleccionar"), 2);
  EXPECT_EQ(log->calls.back(), "Close");
}

TEST_F(SearchTest, ExitClosesCursorAndRaisesEvtsalir) {
  ctl.cmdSalir.Click();  // even before any read
  ASSERT_EQ(Count("evtsalir"), 1);
  EXPECT_TRUE(host.events[0].args.empty());
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
  EXPECT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(DataRows(), 51);
}

TEST_F(SearchTest, QuitReleasesCursorAndConnectionOnce) {
  AddClientes(60);
  ConfigureClientes();
  ctl.p_leer();
  ctl.Quit();
  EXPECT_EQ(log->calls, (Strings{"Open", "Close"}));
  EXPECT_EQ(ctl.glbDb(), nullptr);
  EXPECT_TRUE(host.events.empty());
  EXPECT_EQ(DataRows(), 51);
  ctl.Quit();
  EXPECT_EQ(log->calls.size(), 2u);
  ctl.p_leer();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].title, "Mensaje");
  EXPECT_EQ(log->calls.size(), 2u);
  ctl.glbDb(conn);
  ctl.p_leer();
  EXPECT_EQ(DataRows(), 51);
  EXPECT_EQ(host.messages.size(), 1u);
}

TEST_F(SearchTest, NextPressBeforeAnyReadShowsMessageOnly) {
  ctl.cmdSiguiente.Click();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].style, Host::kCritical | Host::kOkOnly);
  EXPECT_EQ(host.messages[0].title, "Mensaje");
  EXPECT_TRUE(ctl.cmdSiguiente.Enabled());
  EXPECT_EQ(ctl.grdDatos.Rows(), 2);
  EXPECT_TRUE(log->calls.empty());
}

}  // namespace
}  // namespace trovel
