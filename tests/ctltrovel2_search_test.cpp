// ctlTrovel2: properties and their persistence, the statement built from the
// filter row, paging, selection, exit, Quit and the failures of the read,
// next-page and select handlers.
#include <gtest/gtest.h>

#include <map>

#include "ctltrovel/ctlTrovel.h"
#include "platform/Font.h"
#include "tests/ClosingForm.h"
#include "tests/CtlTrovel2Fixture.h"

namespace trovel {
namespace {

using Strings = std::vector<std::string>;

// OrderBy, SentenciaSQL, SeparaFecha, FormatoFecha and UCaseFiltro of `c`.
std::string Properties(ctlTrovel2& c) {
  return c.OrderBy() + "|" + c.SentenciaSQL() + "|" + c.SeparaFecha() + "|" + c.FormatoFecha() +
         (c.UCaseFiltro() ? "|upper-cased" : "|as typed");
}

// --- Properties and persistence ----------------------------------------------

TEST_F(CtlTrovel2Test, DefaultsAfterAnEmptyBagAndForANewControl) {
  // The fixture loaded an empty bag: every key read once, in order, with its
  // default; nothing notified; the designed two grid columns stay.
  EXPECT_EQ(bag.reads,
            (Strings{"OrderBy", "SentenciaSQL", "SeparaFecha", "FormatoFecha", "ColumnsCount", "UcaseFiltro",
                     "BuscarAlEscribir", "PausaBusqueda"}));
  EXPECT_EQ(Properties(ctl), "||#|dd/mm/yyyy|upper-cased");
  EXPECT_EQ(ctl.Columns()->Count(), 0);
  EXPECT_EQ(ctl.grdDatos.Cols(), 2);
  EXPECT_EQ(State(), "filter rows:1");
  EXPECT_TRUE(host.notices.empty());

  // A new control notifies the two texts it sets. Never loaded, its
  // collection has no grid, so Add fails with a message.
  ctlTrovel2 fresh(host);
  fresh.InitProperties();
  EXPECT_EQ(host.notices, (Strings{"OrderBy", "SentenciaSQL"}));
  EXPECT_EQ(Properties(fresh), "||#|dd/mm/yyyy|upper-cased");
  EXPECT_EQ(fresh.Columns()->Add("0", "cod", "art", ctvTEXT, "Código", 6), nullptr);
  EXPECT_EQ(TakeMessages().size(), 1u);
  EXPECT_EQ(fresh.Columns()->Count(), 0);
}

TEST_F(CtlTrovel2Test, SaveWritesSixKeysInOrderReloadKeepsColumnCountButNotColumnsBadValuesFail) {
  AddArtColumns();
  ctl.OrderBy("des");
  ctl.SentenciaSQL("select cod, des from art");
  ctl.FormatoFecha("yyyy-mm-dd");
  ctl.SeparaFecha("'");
  ctl.UCaseFiltro(false);
  MemoryPropertyBag saved;
  ctl.WriteProperties(saved);
  EXPECT_EQ(saved.writes,
            (Strings{"OrderBy", "SentenciaSQL", "FormatoFecha", "SeparaFecha", "UcaseFiltro", "ColumnsCount",
                     "BuscarAlEscribir", "PausaBusqueda"}));
  const std::map<std::string, Variant> expected{
      {"OrderBy", Variant("des")},          {"SentenciaSQL", Variant("select cod, des from art")},
      {"FormatoFecha", Variant("yyyy-mm-dd")}, {"SeparaFecha", Variant("'")},
      {"UcaseFiltro", Variant(false)},      {"ColumnsCount", Variant(int32_t{4})}};
  EXPECT_EQ(saved.Values(), expected);

  host.notices.clear();
  ctlTrovel2 reloaded(host);
  reloaded.ReadProperties(saved);
  EXPECT_EQ(Properties(reloaded), "des|select cod, des from art|'|yyyy-mm-dd|as typed");
  EXPECT_EQ(reloaded.grdDatos.Cols(), 4);
  EXPECT_EQ(reloaded.Columns()->Count(), 0);
  EXPECT_TRUE(host.notices.empty());
  // The reloaded collection is bound: the host can rebuild the columns.
  EXPECT_NE(reloaded.Columns()->Add("0", "cod", "art", ctvTEXT, "Código", 6), nullptr);
  EXPECT_TRUE(TakeMessages().empty());

  // Left True, the flag is offered to the bag with its default and not stored.
  ctl.UCaseFiltro(true);
  MemoryPropertyBag again;
  ctl.WriteProperties(again);
  EXPECT_EQ(again.writes, saved.writes);
  EXPECT_FALSE(again.Has("UcaseFiltro"));
  EXPECT_EQ(again.Values().size(), 5u);

  // A non-boolean flag, or a column count the grid refuses, fails the load.
  for (const auto& [key, value] : {std::pair{"UcaseFiltro", Variant("abc")}, {"ColumnsCount", Variant(int32_t{-1})}}) {
    MemoryPropertyBag broken;
    broken.Set(key, value);
    ctlTrovel2 other(host);
    EXPECT_THROW(other.ReadProperties(broken), Error) << key;
  }
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
  EXPECT_EQ(host.notices,
            (Strings{"SentenciaSQL", "OrderBy", "FormatoFecha", "SeparaFecha", "UCaseFiltro", "Columns"}));
  EXPECT_EQ(ctl.glbDb(), conn);
  // An object that is no data connection is refused.
  EXPECT_EQ(ErrorNumberOf([&] { ctl.glbDb(std::make_shared<Font>()); }), Error::kTypeMismatch);
}

TEST_F(CtlTrovel2Test, PublicMembersAndEventsInInterfaceOrder) {
  auto names = [](const std::vector<MemberInfo>& list) {
    Strings out;
    for (const MemberInfo& m : list) out.push_back(m.name);
    return out;
  };
  ASSERT_EQ(names(ctl.Members()), (Strings{"p_leer", "SentenciaSQL", "OrderBy", "p_Boton_Leer", "FormatoFecha",
                                           "SeparaFecha", "glbDb", "fgi", "Columns", "UCaseFiltro", "GridFont",
                                           "CommandFont", "Quit", "BuscarAlEscribir", "PausaBusqueda"}));
  EXPECT_EQ(ctl.Members()[0].help,
            "Metodo lee la sentencia SQL usando la conexion glbdb y carga las primeras 50 filas en la cuadricula");
  EXPECT_EQ(ctl.Members()[3].help, "Metodo que actualiza el estado de los botones y los deja listos para consultar");
  EXPECT_EQ(ctl.Members()[5].help, "Delimitador para los campos de Fecha, en la sentencia SQL, para Access use \"#\"");
  EXPECT_EQ(ctl.Members()[7].help, "");
  ASSERT_EQ(names(ctl.Events()), (Strings{"evtSeleccionar", "evtsalir"}));
  EXPECT_EQ(ctl.Events()[1].help, "Evento se presenta cuando se presiona el boton salir");
}

TEST_F(CtlTrovel2Test, FgiIsTheLinearCellIndexAndOverflows) {
  ctl.grdDatos.SetCols(5);
  EXPECT_EQ(ctl.fgi(2, 3), 13);
  EXPECT_EQ(ctl.fgi(0, 0), 0);
  EXPECT_EQ(ctl.fgi(6553, 2), 32767);  // the largest index that still fits
  for (auto [row, col] : {std::pair{6553, 3}, {10000, 0}, {-10000, 0}}) {
    EXPECT_EQ(ErrorNumberOf([&] { ctl.fgi(row, col); }), Error::kOverflow) << row << ", " << col;
  }
}

// --- Statement -----------------------------------------------------------------

TEST_F(CtlTrovel2Test, StatementFromTheFilterRowThenNoRowsAndBackToFilter) {
  AddArtColumns();
  ctl.Columns()->Add("4", "activo", "", ctvTEXT, "Activo", 2);
  ctl.Columns()->Add("5", "otro", "art", static_cast<TIPOC>(7), "Otro", 2);
  const std::string all = "select * from art";
  struct Case {
    std::string base, order;
    std::map<int, std::string> filters;
    std::string statement;
    bool refused = false;  // by the database; the others run and find no rows
    std::string date_delimiter = "#";
  };
  const Case cases[] = {
      // The whole base statement is upper-cased, literals included; filters are not.
      {"select cod, des from art", "des", {{1, "GAR%"}, {2, ">100"}},
       "SELECT COD, DES FROM ART where 1=1  and art.des like 'GAR%' and art.precio >= 100 ORDER BY des"},
      {"select * from art where des = 'abc'", "", {{0, "a%"}},
       "SELECT * FROM ART WHERE DES = 'ABC' and art.cod like 'a%'"},
      {all, "", {}, "SELECT * FROM ART where 1=1 "},
      {all, "", {{1, "<A"}}, "SELECT * FROM ART where 1=1  and art.des like 'A'"},
      {all, "", {{2, "<"}}, "SELECT * FROM ART where 1=1  and art.precio <= ", true},
      {all, "", {{2, "5"}}, "SELECT * FROM ART where 1=1  and art.precio = 5"},
      {all, "", {{3, "<15/03/2002"}}, "SELECT * FROM ART where 1=1  and art.alta <= #03/15/2002#"},
      {all, "", {{3, "01/12/2001"}}, "SELECT * FROM ART where 1=1  and art.alta = '12/01/2001'", false, "'"},
      // An empty Table still writes the point; an unknown type adds the field only.
      {all, "", {{4, "1"}, {5, "x"}}, "SELECT * FROM ART where 1=1  and .activo like '1' and art.otro", true},
      // WHERE already present, anywhere (also inside a word): no " where 1=1 ".
      {"select * from art where activo=1", "", {{1, "A%"}},
       "SELECT * FROM ART WHERE ACTIVO=1 and art.des like 'A%'"},
      {"select * from nowhere", "", {}, "SELECT * FROM NOWHERE", true},
      // ORDER BY already in OrderBy (any case) is appended after one blank.
      {all, "order by des desc", {}, "SELECT * FROM ART where 1=1  order by des desc"},
      {all, "cod desc", {}, "SELECT * FROM ART where 1=1  ORDER BY cod desc"},
  };
  for (const Case& c : cases) {
    BackToFilter();
    ctl.SentenciaSQL(c.base);
    ctl.OrderBy(c.order);
    ctl.SeparaFecha(c.date_delimiter);
    for (const auto& [col, text] : c.filters) ctl.grdDatos.SetTextMatrix(1, col, text);
    EXPECT_EQ(Read(), c.statement);
    // One message either way; the filter row was cleared, leaving one empty row.
    const Strings shown = TakeMessages();
    ASSERT_EQ(shown.size(), 1u) << c.statement;
    EXPECT_EQ(shown[0] == "No existen registros", !c.refused) << c.statement << ": " << shown[0];
    EXPECT_EQ(State(), "results rows:1") << c.statement;
    EXPECT_EQ(Row(1), "||||||") << c.statement;
  }

  // The empty row 1 in results mode: a double click still selects it.
  ctl.Columns()->Item(Variant(int32_t{1}))->Value("old");
  int selected = 0;
  ctl.evtSeleccionar = [&] { ++selected; };
  ctl.grdDatos.onDblClick();
  EXPECT_EQ(selected, 1);
  EXPECT_EQ(Values(), "||||||");
  // Another press returns to the filter row below the headings.
  ctl.p_leer();
  EXPECT_EQ(State(), "filter rows:1");
  EXPECT_EQ(ctl.grdDatos.FixedRows(), 1);
  EXPECT_EQ(Row(0), "Código|Descripción|Precio|Alta|Activo|Otro|");
  EXPECT_EQ(Row(1), "||||||");
  EXPECT_EQ(host.FocusedWidget(), &ctl.grdDatos);
  EXPECT_EQ(log->statements.size(), std::size(cases));
  EXPECT_TRUE(TakeMessages().empty());
}

// The filter row upper-cases what is typed; the name is still found, accents
// included, and only with its accents.
TEST_F(CtlTrovel2Test, LowerCaseAccentedNameTypedIntoTheFilterRowFindsItsRow) {
  db->Execute("insert into art (cod, des) values ('A1', 'Ana García'), ('A2', 'ANA GARCIA'), ('A3', 'Anabel')");
  AddArtColumns();
  TypeIn(1, "ana garcía%");
  Enter();
  EXPECT_EQ(Read(), "SELECT * FROM ART where 1=1  and art.des like 'ANA GARCÍA%' ORDER BY cod");
  EXPECT_TRUE(TakeMessages().empty());
  EXPECT_EQ(State(), "results rows:1 select");
  EXPECT_EQ(Row(1), "A1|Ana García|||");
}

// --- Loading and paging ----------------------------------------------------------

TEST_F(CtlTrovel2Test, ReadShows51RowsNextPagesAppendUntilTheDataEndsAndFocusGoesToTheGrid) {
  AddArtColumns();
  // Pending user-interface events run at the start of the read, before the statement.
  host.Post([&] { log->calls.push_back("DoEvents"); });
  // Rows shown after the read and after each next page. The end-of-data test
  // comes before the row limit: 51 rows leave no next page, 52 do.
  for (const auto& [count, pages] :
       {std::pair{120, std::vector{51, 102, 120}}, {51, std::vector{51}}, {52, std::vector{51, 52}}}) {
    BackToFilter();
    FillArt(count);
    Read();
    for (size_t i = 0; i < pages.size(); ++i) {
      if (i > 0) ctl.cmdSiguiente.Click();
      const std::string next = i + 1 < pages.size() ? " next" : "";
      EXPECT_EQ(State(), "results rows:" + std::to_string(pages[i]) + next + " select") << count << " rows";
      // The last row shown is the last one read: A051, A102, ...
      EXPECT_EQ(ctl.grdDatos.TextMatrix(pages[i], 0), "A" + std::to_string(1000 + pages[i]).substr(1)) << count;
      // The page's first row is the current one, the row a selection reads.
      EXPECT_EQ(ctl.grdDatos.Row(), i == 0 ? 1 : pages[i - 1] + 1) << count;
    }
  }
  EXPECT_EQ(Row(1), "A001|Articulo 1|1|02/01/2001|");  // a number without Format is plain text
  EXPECT_EQ(Row(50), "A050|Articulo 50|50|20/02/2001|");  // a round one too
  // Each read closed the cursor before it; the next pages sent no statement.
  EXPECT_EQ(log->calls, (Strings{"DoEvents", "Open", "Close", "Open", "Close", "Open"}));
  EXPECT_EQ(log->statements.size(), 3u);
  EXPECT_TRUE(TakeMessages().empty());

  // The read ends by focusing the grid; when the grid cannot take the focus,
  // the failure is shown after the rows were loaded.
  EXPECT_EQ(host.FocusedWidget(), &ctl.grdDatos);
  BackToFilter();
  ctl.grdDatos.SetVisible(false);
  Read();
  const Strings shown = TakeMessages();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].find("\r\n"), std::string::npos);
  EXPECT_EQ(State(), "results rows:51 next select");
  EXPECT_EQ(Row(1), "A001|Articulo 1|1|02/01/2001|");
}

// --- Selection ----------------------------------------------------------------------------

TEST_F(CtlTrovel2Test, SelectionCopiesTheShownRowIntoValuesOnlyFromADataRow) {
  db->Execute(
      "insert into art values ('A1', 'uno', 1234.5, '2001-12-25', 1), ('A2', null, 7, '2003-02-01', 0),"
      " ('A3', 'tres', null, null, 1)");
  AddArtColumns();
  ctl.Columns()->Item(Variant(int32_t{3}))->Format("#,##0.00");
  Read();
  ASSERT_EQ(DataRows(), 3);
  // Nulls show as empty cells; Format shapes the price, FormatoFecha the date.
  EXPECT_EQ(Row(1), "A1|uno|1,234.50|25/12/2001|");
  EXPECT_EQ(Row(2), "A2||7.00|01/02/2003|");
  EXPECT_EQ(Row(3), "A3|tres|||");

  std::string seen = "not raised";
  ctl.evtSeleccionar = [&] { seen = Values(); };
  // With the heading row current there is nothing to select.
  ctl.grdDatos.SetRow(0);
  ctl.cmdSeleccionar.Click();
  EXPECT_EQ(seen, "not raised");
  EXPECT_TRUE(host.events.empty());
  EXPECT_EQ(log->calls, Strings{"Open"});
  EXPECT_EQ(Values(), "||||");

  ctl.grdDatos.SetRow(2);
  ctl.cmdSeleccionar.Click();
  EXPECT_EQ(seen, "A2||7.00|01/02/2003|");
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

  // Once the test lets go of its own references nothing else keeps them.
  held.reset();
  conn.reset();
  EXPECT_TRUE(collection.expired() && column.expired() && connection.expired());
  owner.reset();  // destroying a control after Quit is safe
}

// --- Failures and exit -----------------------------------------------------------------

TEST_F(CtlTrovel2Test, ReadFailuresShowTheDescriptionThenTheLastError) {
  AddArtColumns();
  FillArt(60);
  Read();
  BackToFilter();
  // A statement the database refuses.
  ctl.SentenciaSQL("select * from nosuchtable");
  std::string statement = "SELECT * FROM NOSUCHTABLE where 1=1  ORDER BY cod", expected;
  bool flag = false;
  try { db->OpenCursor(statement, flag); } catch (const std::exception& e) { expected = e.what(); }
  Read();
  EXPECT_FALSE(db->LastErrorText().empty());
  EXPECT_EQ(TakeMessages(), Strings{expected + "\r\n" + db->LastErrorText()});
  // The old cursor was closed first; results mode, emptied grid, and no cursor
  // left, so the next page fails too.
  EXPECT_EQ(log->calls, (Strings{"Open", "Close", "Open"}));
  EXPECT_EQ(State(), "results rows:1");
  ctl.cmdSiguiente.SetValue(true);
  EXPECT_EQ(TakeMessages().size(), 1u);

  // A filter in a grid column that has no column entry: the connection's last
  // error (still the one above) follows the description.
  BackToFilter();
  ctl.SentenciaSQL("select * from art");
  ctl.grdDatos.SetCols(5);
  ctl.grdDatos.SetTextMatrix(1, 0, "A%");
  ctl.grdDatos.SetTextMatrix(1, 4, "x");
  Read();
  const Strings shown = TakeMessages();
  ASSERT_FALSE(shown.empty());
  const std::string tail = "\r\n" + conn->LastErrorText();
  EXPECT_TRUE(shown.back().size() > tail.size() && shown.back().ends_with(tail)) << shown.back();
  // Nothing was sent; results mode was entered before the failure; the grid was not cleared.
  EXPECT_EQ(log->statements.size(), 2u);
  EXPECT_EQ(State(), "results rows:1");
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 4), "x");
}

TEST_F(CtlTrovel2Test, ExitKeepsTheRowsNextPageFailsAfterASelectionAndDoesNothingOnAClosedCursor) {
  AddArtColumns();
  FillArt(120);
  Read();
  int left = 0;
  ctl.evtsalir = [&] { ++left; };
  ctl.cmdSalir.Click();
  EXPECT_EQ(left, 1);
  ASSERT_EQ(host.events.size(), 1u);
  EXPECT_EQ(host.events[0].name, "evtsalir");
  // Exit closes the cursor; grid, mode and buttons stay as they were.
  EXPECT_EQ(log->calls, (Strings{"Open", "Close"}));
  EXPECT_EQ(State(), "results rows:51 next select");
  // In results mode p_Boton_Leer only disables the next-page and select buttons.
  ctl.p_Boton_Leer();
  EXPECT_EQ(State(), "results rows:51");

  // The selection let go of the cursor: the next page, still enabled, fails and the rows stay.
  BackToFilter();
  Read();
  ctl.cmdSeleccionar.Click();
  ASSERT_TRUE(ctl.cmdSiguiente.Enabled());
  ctl.cmdSiguiente.Click();
  EXPECT_EQ(TakeMessages().size(), 1u);
  EXPECT_EQ(DataRows(), 51);

  // A cursor closed behind the control's back: the next page quietly does nothing.
  BackToFilter();
  Read();
  log->last_cursor.lock()->Close();
  ctl.cmdSiguiente.Click();
  EXPECT_TRUE(TakeMessages().empty());
  EXPECT_EQ(State(), "results rows:51 next select");
  EXPECT_EQ(log->statements.size(), 3u);  // no next page sent a statement
}

TEST_F(CtlTrovel2Test, TheFormMayDestroyTheControlInItsEventHandlers) {
  FillArt(3);
  ExpectTheFormMayCloseInItsHandlers<ctlTrovel2>(
      host,
      [&] {
        auto c = std::make_unique<ctlTrovel2>(host);
        c->ReadProperties(bag);
        AddArtColumns(*c);
        c->glbDb(conn);
        c->p_leer();
        return c;
      },
      [](ctlTrovel2& c, const std::function<void()>& close) {
        c.evtSeleccionar = close;
        c.evtsalir = close;
      });
}

// Many lives of both controls on one connection, each through load, read,
// page, select and (every other time) Quit: a destroyed control has freed
// its columns, their column objects, its cursors and its share of the
// connection, so nothing piles up over a long-running form. The sanitizer
// build checks for leaks besides.
TEST_F(CtlTrovel2Test, EachLifeOfBothControlsFreesAllItHeld) {
  FillArt(120);
  const long connection_holders = conn.use_count();
  std::vector<std::weak_ptr<const void>> held;
  for (int life = 0; life < 60; ++life) {
    {
      ctlTrovel2 c(host);
      c.ReadProperties(bag);
      AddArtColumns(c);
      c.glbDb(conn);
      c.p_leer();
      c.cmdSiguiente.Click();
      held.push_back(c.Columns());
      for (const auto& column : *c.Columns()) held.push_back(column);
      held.push_back(log->last_cursor.lock());
      c.cmdSeleccionar.Click();
      if (life % 2) c.Quit();
      c.Terminate();
    }
    {
      ctlTrovel c(host);
      c.InitProperties();
      c.SentenciaSQL("select cod, des from art");
      c.N_Campo1("cod");
      c.N_Campo2("des");
      c.OrderBy("cod");
      c.glbDb(conn);
      c.p_leer();
      c.cmdSiguiente.Click();
      held.push_back(log->last_cursor.lock());
      c.cmdSeleccionar.Click();
      if (life % 2) c.Quit();
      c.Terminate();
    }
  }
  EXPECT_TRUE(TakeMessages().empty());
  for (const auto& w : held) EXPECT_TRUE(w.expired());
  EXPECT_EQ(conn.use_count(), connection_holders);
}

}  // namespace
}  // namespace trovel