// ctlTrovel2: properties and their persistence, the statement built from the
// filter row, paging, selection, exit, Quit and the failures of the read,
// next-page and select handlers.
#include <gtest/gtest.h>

#include <map>

#include "platform/Font.h"
#include "tests/CtlTrovel2Fixture.h"

namespace trovel {
namespace {

using Strings = std::vector<std::string>;

// --- Properties and persistence ----------------------------------------------

TEST_F(CtlTrovel2Test, LoadWithoutKeysGivesDefaults) {
  // The fixture loaded an empty bag: every key read once, in order, with its
  // default; nothing notified; the designed two grid columns stay.
  EXPECT_EQ(bag.reads, (Strings{"OrderBy", "SentenciaSQL", "SeparaFecha", "FormatoFecha", "ColumnsCount", "UcaseFiltro"}));
  EXPECT_EQ(ctl.OrderBy(), "");
  EXPECT_EQ(ctl.SentenciaSQL(), "");
  EXPECT_EQ(ctl.SeparaFecha(), "#");
  EXPECT_EQ(ctl.FormatoFecha(), "dd/mm/yyyy");
  EXPECT_TRUE(ctl.UCaseFiltro());
  EXPECT_EQ(ctl.grdDatos.Cols(), 2);
  EXPECT_FALSE(ctl.Leido());
  EXPECT_EQ(ctl.cmdLeer.Caption(), "&Leer");
  EXPECT_EQ(ctl.Columns()->Count(), 0);
  EXPECT_TRUE(host.notices.empty());
}

TEST_F(CtlTrovel2Test, SaveWritesSixKeysInOrderAndUcaseFiltroOnlyWhenFalse) {
  AddArtColumns();
  ctl.OrderBy("des");
  ctl.SentenciaSQL("select cod, des from art");
  ctl.FormatoFecha("yyyy-mm-dd");
  ctl.SeparaFecha("'");
  ctl.UCaseFiltro(false);
  MemoryPropertyBag saved;
  ctl.WriteProperties(saved);
  EXPECT_EQ(saved.writes, (Strings{"OrderBy", "SentenciaSQL", "FormatoFecha", "SeparaFecha", "UcaseFiltro", "ColumnsCount"}));
  const std::map<std::string, Variant> expected{
      {"OrderBy", Variant("des")},         {"SentenciaSQL", Variant("select cod, des from art")},
      {"FormatoFecha", Variant("yyyy-mm-dd")}, {"SeparaFecha", Variant("'")},
      {"UcaseFiltro", Variant(false)},     {"ColumnsCount", Variant(int32_t{4})}};
  EXPECT_EQ(saved.Values(), expected);

  // Left True, the flag is offered to the bag with its default and not stored.
  ctl.UCaseFiltro(true);
  MemoryPropertyBag again;
  ctl.WriteProperties(again);
  EXPECT_EQ(again.writes.size(), 6u);
  EXPECT_FALSE(again.Has("UcaseFiltro"));
  EXPECT_EQ(again.Values().size(), 5u);
}

TEST_F(CtlTrovel2Test, ReloadKeepsColumnCountButNotTheColumns) {
  AddArtColumns();
  ctl.UCaseFiltro(false);
  ctl.SeparaFecha("'");
  MemoryPropertyBag saved;
  ctl.WriteProperties(saved);

  host.notices.clear();
  ctlTrovel2 reloaded(host);
  reloaded.ReadProperties(saved);
  EXPECT_EQ(reloaded.grdDatos.Cols(), 4);
  EXPECT_EQ(reloaded.Columns()->Count(), 0);
  EXPECT_EQ(reloaded.SentenciaSQL(), "select * from art");
  EXPECT_EQ(reloaded.OrderBy(), "cod");
  EXPECT_EQ(reloaded.SeparaFecha(), "'");
  EXPECT_EQ(reloaded.FormatoFecha(), "dd/mm/yyyy");
  EXPECT_FALSE(reloaded.UCaseFiltro());
  EXPECT_TRUE(host.notices.empty());
  // The reloaded collection is bound: the host can rebuild the columns.
  EXPECT_NE(reloaded.Columns()->Add("0", "cod", "art", ctvTEXT, "Código", 6), nullptr);
  EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(CtlTrovel2Test, NonBooleanUcaseFiltroFailsTheLoad) {
  MemoryPropertyBag broken;
  broken.Set("UcaseFiltro", Variant("abc"));
  ctlTrovel2 other(host);
  EXPECT_THROW(other.ReadProperties(broken), Error);
  // A column count the grid refuses fails the load as well.
  MemoryPropertyBag negative;
  negative.Set("ColumnsCount", Variant(int32_t{-1}));
  ctlTrovel2 third(host);
  EXPECT_THROW(third.ReadProperties(negative), Error);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(CtlTrovel2Test, SettersNotifyUnderTheirNamesObjectsDoNot) {
  ctl.SentenciaSQL("select * from art");
  ctl.OrderBy("cod");
  ctl.FormatoFecha("dd-mm-yy");
  ctl.SeparaFecha("'");
  ctl.UCaseFiltro(false);
  ctl.Columns(ctl.Columns());
  ctl.glbDb(conn);
  ctl.GridFont(std::make_shared<Font>());
  ctl.CommandFont(std::make_shared<Font>());
  EXPECT_EQ(host.notices, (Strings{"SentenciaSQL", "OrderBy", "FormatoFecha", "SeparaFecha", "UCaseFiltro", "Columns"}));
  EXPECT_EQ(ctl.glbDb(), conn);
  // An object that is no data connection is refused.
  EXPECT_EQ(ErrorNumberOf([&] { ctl.glbDb(std::make_shared<Font>()); }), Error::kTypeMismatch);
}

TEST_F(CtlTrovel2Test, PublicMembersAndEventsInInterfaceOrder) {
  Strings names;
  for (const MemberInfo& m : ctl.Members()) names.push_back(m.name);
  EXPECT_EQ(names, (Strings{"p_leer", "SentenciaSQL", "OrderBy", "p_Boton_Leer", "FormatoFecha", "SeparaFecha", "glbDb",
                            "fgi", "Columns", "UCaseFiltro", "GridFont", "CommandFont", "Quit"}));
  ASSERT_EQ(ctl.Members().size(), 13u);
  EXPECT_EQ(ctl.Members()[0].help,
            "Metodo lee la sentencia SQL usando la conexion glbdb y carga las primeras 50 filas en la cuadricula");
  EXPECT_EQ(ctl.Members()[3].help, "Metodo que actualiza el estado de los botones y los deja listos para consultar");
  EXPECT_EQ(ctl.Members()[5].help, "Delimitador para los campos de Fecha, en la sentencia SQL, para Access use \"#\"");
  EXPECT_EQ(ctl.Members()[7].help, "");
  ASSERT_EQ(ctl.Events().size(), 2u);
  EXPECT_EQ(ctl.Events()[0].name, "evtSeleccionar");
  EXPECT_EQ(ctl.Events()[1].name, "evtsalir");
  EXPECT_EQ(ctl.Events()[1].help, "Evento se presenta cuando se presiona el boton salir");
}

TEST(CtlTrovel2New, NewControlNotifiesTwoDefaultsAndCannotAddColumns) {
  HeadlessHost host;
  ctlTrovel2 ctl(host);
  ctl.InitProperties();
  EXPECT_EQ(host.notices, (Strings{"OrderBy", "SentenciaSQL"}));
  EXPECT_EQ(ctl.SeparaFecha(), "#");
  EXPECT_EQ(ctl.FormatoFecha(), "dd/mm/yyyy");
  EXPECT_TRUE(ctl.UCaseFiltro());
  // Never loaded: the collection has no grid, so Add fails with a message.
  EXPECT_EQ(ctl.Columns()->Add("0", "cod", "art", ctvTEXT, "Código", 6), nullptr);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].title, "Mensaje");
  EXPECT_EQ(ctl.Columns()->Count(), 0);
}

TEST_F(CtlTrovel2Test, FgiIsTheLinearCellIndexAndOverflows) {
  MemoryPropertyBag five;
  five.Set("ColumnsCount", Variant(int32_t{5}));
  ctl.ReadProperties(five);
  ASSERT_EQ(ctl.grdDatos.Cols(), 5);
  EXPECT_EQ(ctl.fgi(2, 3), 13);
  EXPECT_EQ(ctl.fgi(0, 0), 0);
  EXPECT_EQ(ctl.fgi(6553, 2), 32767);
  EXPECT_EQ(ErrorNumberOf([&] { ctl.fgi(6553, 3); }), Error::kOverflow);
  EXPECT_EQ(ErrorNumberOf([&] { ctl.fgi(10000, 0); }), Error::kOverflow);
  EXPECT_EQ(ErrorNumberOf([&] { ctl.fgi(-10000, 0); }), Error::kOverflow);
}

// --- Statement -----------------------------------------------------------------

TEST_F(CtlTrovel2Test, StatementJoinsFiltersOrderAndClearsTheFilterRow) {
  db->Execute("create table cli (cod text, nom text, saldo real)");
  ctl.Columns()->Add("0", "cod", "cli", ctvTEXT, "Código", 6);
  ctl.Columns()->Add("1", "nom", "cli", ctvTEXT, "Nombre", 30);
  ctl.Columns()->Add("2", "saldo", "cli", ctvNUMBER, "Saldo", 10);
  ctl.SentenciaSQL("select cod, nom from cli");
  ctl.OrderBy("nom");
  ctl.grdDatos.SetTextMatrix(1, 1, "GAR%");
  ctl.grdDatos.SetTextMatrix(1, 2, ">100");
  EXPECT_EQ(Read(), "SELECT COD, NOM FROM CLI where 1=1  and cli.nom like 'GAR%' and cli.saldo >= 100 ORDER BY nom");
  EXPECT_EQ(TakeMessages(), Strings{"No existen registros"});
  EXPECT_EQ(ctl.grdDatos.Rows(), 2);
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 1), "");
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 2), "");
}

TEST_F(CtlTrovel2Test, StatementEdgeCases) {
  ctl.Columns()->Add("0", "cod", "art", ctvTEXT, "Código", 6);
  ctl.Columns()->Add("1", "des", "art", ctvTEXT, "Descripción", 20);
  ctl.Columns()->Add("2", "precio", "art", ctvNUMBER, "Precio", 10);
  ctl.Columns()->Add("3", "alta", "art", ctvDATE, "Alta", 10);
  ctl.Columns()->Add("4", "activo", "", ctvTEXT, "Activo", 2);
  ctl.Columns()->Add("5", "otro", "art", static_cast<TIPOC>(7), "Otro", 2);
  auto read_with = [&](const std::map<int, std::string>& filters) {
    BackToFilter();
    for (const auto& [col, text] : filters) ctl.grdDatos.SetTextMatrix(1, col, text);
    return Read();
  };
  ctl.SentenciaSQL("select * from art");
  EXPECT_EQ(read_with({}), "SELECT * FROM ART where 1=1 ");
  EXPECT_EQ(read_with({{1, "<A"}}), "SELECT * FROM ART where 1=1  and art.des like 'A'");
  EXPECT_EQ(read_with({{2, "<"}}), "SELECT * FROM ART where 1=1  and art.precio <= ");
  EXPECT_EQ(read_with({{2, "5"}}), "SELECT * FROM ART where 1=1  and art.precio = 5");
  EXPECT_EQ(read_with({{3, "<15/03/2002"}}), "SELECT * FROM ART where 1=1  and art.alta <= #03/15/2002#");
  // An empty Table still writes the point; an unknown type adds the field only.
  EXPECT_EQ(read_with({{4, "1"}, {5, "x"}}), "SELECT * FROM ART where 1=1  and .activo like '1' and art.otro");
  ctl.SeparaFecha("'");
  EXPECT_EQ(read_with({{3, "01/12/2001"}}), "SELECT * FROM ART where 1=1  and art.alta = '12/01/2001'");

  // WHERE already present, anywhere (also inside a word): no " where 1=1 ".
  ctl.SentenciaSQL("select * from art where activo=1");
  EXPECT_EQ(read_with({{1, "A%"}}), "SELECT * FROM ART WHERE ACTIVO=1 and art.des like 'A%'");
  ctl.SentenciaSQL("select * from nowhere");
  EXPECT_EQ(read_with({}), "SELECT * FROM NOWHERE");
  // The whole base statement is upper-cased, literals included; filters are not.
  ctl.SentenciaSQL("select * from art where des = 'abc'");
  EXPECT_EQ(read_with({{0, "a%"}}), "SELECT * FROM ART WHERE DES = 'ABC' and art.cod like 'a%'");

  // ORDER BY already in OrderBy (any case) is appended after one blank.
  ctl.SentenciaSQL("select * from art");
  ctl.OrderBy("order by des desc");
  EXPECT_EQ(read_with({}), "SELECT * FROM ART where 1=1  order by des desc");
  ctl.OrderBy("cod desc");
  EXPECT_EQ(read_with({}), "SELECT * FROM ART where 1=1  ORDER BY cod desc");
}

// --- Loading and paging ----------------------------------------------------------

TEST_F(CtlTrovel2Test, ReadShows51RowsAndNextPagesAppend) {
  AddArtColumns();
  FillArt(120);
  // Pending user-interface events run at the start of the read, before the statement.
  host.Post([&] { log->calls.push_back("DoEvents"); });
  Read();
  EXPECT_TRUE(TakeMessages().empty());
  EXPECT_EQ(log->calls, (Strings{"DoEvents", "Open"}));
  EXPECT_TRUE(ctl.Leido());
  EXPECT_EQ(ctl.cmdLeer.Caption(), "&Filtro");
  EXPECT_EQ(DataRows(), 51);
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 0), "A001");
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 1), "Articulo 1");
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 2), "1");  // number without Format: plain text
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 3), "02/01/2001");
  EXPECT_EQ(ctl.grdDatos.TextMatrix(51, 0), "A051");
  EXPECT_TRUE(ctl.cmdSiguiente.Enabled());
  EXPECT_TRUE(ctl.cmdSeleccionar.Enabled());
  EXPECT_EQ(host.FocusedWidget(), &ctl.grdDatos);

  ctl.cmdSiguiente.Click();
  EXPECT_EQ(DataRows(), 102);
  EXPECT_EQ(ctl.grdDatos.TextMatrix(52, 0), "A052");
  EXPECT_TRUE(ctl.cmdSiguiente.Enabled());
  ctl.cmdSiguiente.Click();
  EXPECT_EQ(DataRows(), 120);
  EXPECT_EQ(ctl.grdDatos.TextMatrix(120, 0), "A120");
  EXPECT_FALSE(ctl.cmdSiguiente.Enabled());
  EXPECT_TRUE(ctl.cmdSeleccionar.Enabled());
  EXPECT_EQ(ctl.cmdLeer.Caption(), "&Filtro");
  EXPECT_EQ(log->statements.size(), 1u);
  EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(CtlTrovel2Test, PageEndTestComesBeforeTheRowLimit) {
  AddArtColumns();
  FillArt(51);
  Read();
  EXPECT_EQ(DataRows(), 51);
  EXPECT_FALSE(ctl.cmdSiguiente.Enabled());

  BackToFilter();
  FillArt(52);
  Read();
  EXPECT_EQ(DataRows(), 51);
  EXPECT_TRUE(ctl.cmdSiguiente.Enabled());
  ctl.cmdSiguiente.Click();
  EXPECT_EQ(DataRows(), 52);
  EXPECT_EQ(ctl.grdDatos.TextMatrix(52, 0), "A052");
  EXPECT_FALSE(ctl.cmdSiguiente.Enabled());
  // The second read closed the first cursor before opening its own.
  EXPECT_EQ(log->calls, (Strings{"Open", "Close", "Open"}));
  EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(CtlTrovel2Test, NoRowsShowsMessageAndAnotherPressReturnsToFilter) {
  AddArtColumns();
  Read();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "No existen registros");
  EXPECT_EQ(host.messages[0].title, "Mensaje");
  EXPECT_EQ(host.messages[0].style, 16);
  host.messages.clear();
  EXPECT_TRUE(ctl.Leido());
  EXPECT_EQ(ctl.cmdLeer.Caption(), "&Filtro");
  EXPECT_EQ(ctl.grdDatos.Rows(), 2);
  EXPECT_FALSE(ctl.cmdSiguiente.Enabled());
  EXPECT_FALSE(ctl.cmdSeleccionar.Enabled());

  // The empty row 1 in results mode: a double click still selects it.
  ctl.Columns()->Item(Variant(int32_t{1}))->Value("old");
  int selected = 0;
  ctl.evtSeleccionar = [&] { ++selected; };
  ctl.grdDatos.onDblClick();
  EXPECT_EQ(selected, 1);
  for (const auto& column : *ctl.Columns()) EXPECT_EQ(column->Value(), "");

  ctl.p_leer();
  EXPECT_FALSE(ctl.Leido());
  EXPECT_EQ(ctl.cmdLeer.Caption(), "&Leer");
  EXPECT_FALSE(ctl.cmdSiguiente.Enabled());
  EXPECT_FALSE(ctl.cmdSeleccionar.Enabled());
  EXPECT_EQ(ctl.grdDatos.Rows(), 2);
  EXPECT_EQ(ctl.grdDatos.FixedRows(), 1);
  EXPECT_EQ(ctl.grdDatos.TextMatrix(0, 0), "Código");
  EXPECT_EQ(ctl.grdDatos.TextMatrix(0, 3), "Alta");
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 0), "");
  EXPECT_EQ(host.FocusedWidget(), &ctl.grdDatos);
  EXPECT_EQ(log->statements.size(), 1u);
  EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(CtlTrovel2Test, PBotonLeerInResultsModeOnlyDisablesTheButtons) {
  AddArtColumns();
  FillArt(60);
  Read();
  ASSERT_TRUE(ctl.cmdSiguiente.Enabled() && ctl.cmdSeleccionar.Enabled());
  ctl.p_Boton_Leer();
  EXPECT_FALSE(ctl.cmdSiguiente.Enabled());
  EXPECT_FALSE(ctl.cmdSeleccionar.Enabled());
  EXPECT_EQ(ctl.cmdLeer.Caption(), "&Filtro");
  EXPECT_TRUE(ctl.Leido());
  EXPECT_EQ(DataRows(), 51);
}

// --- Selection and exit ------------------------------------------------------------

TEST_F(CtlTrovel2Test, SelectionCopiesTheShownRowIntoValues) {
  db->Execute(
      "insert into art values ('A1', 'uno', 1234.5, '2001-12-25', 1), ('A2', null, 7, '2003-02-01', 0),"
      " ('A3', 'tres', null, null, 1)");
  AddArtColumns();
  ctl.Columns()->Item(Variant(int32_t{3}))->Format("#,##0.00");
  Read();
  ASSERT_EQ(DataRows(), 3);
  EXPECT_EQ(ctl.grdDatos.TextMatrix(3, 2), "");
  EXPECT_EQ(ctl.grdDatos.TextMatrix(3, 3), "");
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 2), "1,234.50");
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 3), "25/12/2001");
  EXPECT_EQ(ctl.grdDatos.TextMatrix(2, 1), "");

  Strings seen;
  ctl.evtSeleccionar = [&] {
    for (const auto& column : *ctl.Columns()) seen.push_back(column->Value());
  };
  ctl.grdDatos.SetRow(2);
  ctl.cmdSeleccionar.Click();
  EXPECT_EQ(seen, (Strings{"A2", "", "7.00", "01/02/2003"}));
  ASSERT_EQ(host.events.size(), 1u);
  EXPECT_EQ(host.events[0].name, "evtSeleccionar");
  EXPECT_EQ(log->calls, (Strings{"Open", "Close"}));
  EXPECT_TRUE(TakeMessages().empty());

  // A new date format reaches later reads only.
  ctl.FormatoFecha("yyyy/mm/dd");
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 3), "25/12/2001");
  BackToFilter();
  Read();
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 3), "2001/12/25");
}

TEST_F(CtlTrovel2Test, SelectingWithoutADataRowDoesNothing) {
  AddArtColumns();
  FillArt(3);
  Read();
  ctl.grdDatos.SetRow(0);
  int selected = 0;
  ctl.evtSeleccionar = [&] { ++selected; };
  ctl.cmdSeleccionar.Click();
  EXPECT_EQ(selected, 0);
  EXPECT_TRUE(host.events.empty());
  EXPECT_EQ(log->calls, Strings{"Open"});
  for (const auto& column : *ctl.Columns()) EXPECT_EQ(column->Value(), "");
}

TEST_F(CtlTrovel2Test, ExitClosesTheCursorAndRaisesEvtsalir) {
  AddArtColumns();
  FillArt(60);
  Read();
  int left = 0;
  ctl.evtsalir = [&] { ++left; };
  ctl.cmdSalir.Click();
  EXPECT_EQ(left, 1);
  ASSERT_EQ(host.events.size(), 1u);
  EXPECT_EQ(host.events[0].name, "evtsalir");
  EXPECT_EQ(log->calls, (Strings{"Open", "Close"}));
  // Grid, mode and buttons stay as they were.
  EXPECT_EQ(DataRows(), 51);
  EXPECT_TRUE(ctl.Leido());
  EXPECT_TRUE(ctl.cmdSiguiente.Enabled());
  EXPECT_TRUE(ctl.cmdSeleccionar.Enabled());
}

// --- Quit ------------------------------------------------------------------------------

TEST_F(CtlTrovel2Test, QuitReleasesColumnsCursorAndConnection) {
  AddArtColumns();
  FillArt(60);
  Read();
  std::shared_ptr<clsColumn> held = ctl.Columns()->Item(Variant(int32_t{1}));
  std::weak_ptr<clsColumns> collection = ctl.Columns();
  std::weak_ptr<clsColumn> column = held;
  std::weak_ptr<DataConnection> connection = conn;
  std::weak_ptr<DataCursor> cursor = log->last_cursor;
  ASSERT_FALSE(cursor.expired());

  ctl.Quit();
  EXPECT_TRUE(TakeMessages().empty());
  EXPECT_EQ(ctl.Columns(), nullptr);
  EXPECT_EQ(ctl.glbDb(), nullptr);
  EXPECT_EQ(log->calls, (Strings{"Open", "Close"}));
  EXPECT_TRUE(cursor.expired());
  EXPECT_EQ(ctl.grdDatos.Rows(), 2);
  // The column the host still holds no longer reaches the grid.
  held->Caption("Nuevo");
  EXPECT_EQ(ctl.grdDatos.TextMatrix(0, 0), "Código");
  const Strings shown = TakeMessages();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].find(" Numero de Columna Key:0"), std::string::npos) << shown[0];
  // Loading a control without a collection is a failure for the host, not a crash.
  MemoryPropertyBag bag;
  EXPECT_EQ(ErrorNumberOf([&] { ctl.ReadProperties(bag); }), Error::kObjectNotSet);

  held.reset();
  conn.reset();
  EXPECT_TRUE(collection.expired());
  EXPECT_TRUE(column.expired());
  EXPECT_TRUE(connection.expired());
  owner.reset();
  EXPECT_TRUE(collection.expired() && column.expired() && connection.expired() && cursor.expired());
}

// --- Failures ------------------------------------------------------------------------

TEST_F(CtlTrovel2Test, FilterColumnWithoutAColumnEntryIsShown) {
  AddArtColumns();
  ctl.grdDatos.SetCols(5);
  ctl.grdDatos.SetTextMatrix(1, 0, "A%");
  ctl.grdDatos.SetTextMatrix(1, 4, "x");
  Read();
  const Strings shown = TakeMessages();
  ASSERT_FALSE(shown.empty());
  const std::string tail = "\r\n" + conn->LastErrorText();
  EXPECT_EQ(shown.back().substr(shown.back().size() - tail.size()), tail) << shown.back();
  EXPECT_GT(shown.back().size(), tail.size());
  // Nothing was sent; results mode was entered before the failure; the grid was not cleared.
  EXPECT_TRUE(log->statements.empty());
  EXPECT_TRUE(ctl.Leido());
  EXPECT_EQ(ctl.cmdLeer.Caption(), "&Filtro");
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 4), "x");
}

TEST_F(CtlTrovel2Test, RejectedStatementShowsDescriptionAndLastError) {
  AddArtColumns();
  FillArt(60);
  Read();
  BackToFilter();
  ctl.SentenciaSQL("select * from nosuchtable");
  std::string expected;
  try {
    std::string statement = "SELECT * FROM NOSUCHTABLE where 1=1  ORDER BY cod";
    bool flag = false;
    db->OpenCursor(statement, flag);
  } catch (const std::exception& e) {
    expected = e.what();
  }
  ASSERT_FALSE(expected.empty());
  Read();
  EXPECT_EQ(TakeMessages(), Strings{expected + "\r\n" + db->LastErrorText()});
  EXPECT_FALSE(db->LastErrorText().empty());
  // The old cursor was closed first; results mode, emptied grid, no cursor left.
  EXPECT_EQ(log->calls, (Strings{"Open", "Close", "Open"}));
  EXPECT_TRUE(ctl.Leido());
  EXPECT_EQ(ctl.cmdLeer.Caption(), "&Filtro");
  EXPECT_EQ(ctl.grdDatos.Rows(), 2);
  ctl.cmdSiguiente.SetValue(true);
  EXPECT_EQ(TakeMessages().size(), 1u);
}

TEST_F(CtlTrovel2Test, NextPageAfterASelectionIsShown) {
  AddArtColumns();
  FillArt(120);
  Read();
  ctl.cmdSeleccionar.Click();
  ASSERT_EQ(host.events.size(), 1u);
  ASSERT_TRUE(ctl.cmdSiguiente.Enabled());
  ctl.cmdSiguiente.Click();
  EXPECT_EQ(TakeMessages().size(), 1u);
  EXPECT_EQ(DataRows(), 51);
  EXPECT_EQ(log->statements.size(), 1u);
}

TEST_F(CtlTrovel2Test, NextPageOnAClosedCursorDoesNothing) {
  AddArtColumns();
  FillArt(120);
  Read();
  log->last_cursor.lock()->Close();
  ctl.cmdSiguiente.Click();
  EXPECT_TRUE(TakeMessages().empty());
  EXPECT_EQ(DataRows(), 51);
  EXPECT_TRUE(ctl.cmdSiguiente.Enabled());
}

TEST_F(CtlTrovel2Test, FailingFinalFocusIsShownAfterTheRowsWereLoaded) {
  AddArtColumns();
  FillArt(60);
  ctl.grdDatos.SetVisible(false);  // the grid cannot take the focus
  Read();
  const Strings shown = TakeMessages();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].find("\r\n"), std::string::npos);
  EXPECT_EQ(DataRows(), 51);
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 0), "A001");
  EXPECT_TRUE(ctl.cmdSiguiente.Enabled());
  EXPECT_TRUE(ctl.cmdSeleccionar.Enabled());
}

}  // namespace
}  // namespace trovel
