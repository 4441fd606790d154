// ctlTrovel2: typing filters into the grid's filter row through the cell
// editor (opening, per-type key filtering, commit, cancel, moving on, date
// completion and checks), the grid keys in results mode, and the layout of
// the children with the two shared fonts.
#include <gtest/gtest.h>

#include "platform/Font.h"
#include "tests/CtlTrovel2Fixture.h"

namespace trovel {
namespace {

using Strings = std::vector<std::string>;

// Widths of the four art columns at 120 twips per character: (Longht + 3) x 120.
constexpr float kCodWidth = 9 * 120, kDesWidth = 23 * 120;

// --- Opening the editor ----------------------------------------------------------------

TEST_F(CtlTrovel2Test, TypingALetterOpensTheEditorOverTheCell) {
  AddArtColumns();
  ctl.grdDatos.SetTextMatrix(1, 1, "old");
  TypeIn(1, "a");
  EXPECT_TRUE(ctl.txtEdit.Visible());
  EXPECT_EQ(host.FocusedWidget(), &ctl.txtEdit);
  EXPECT_EQ(ctl.txtEdit.Text(), "A");
  EXPECT_EQ(ctl.txtEdit.SelStart(), 1);
  EXPECT_FLOAT_EQ(ctl.txtEdit.Left(), 60 + kCodWidth);
  EXPECT_FLOAT_EQ(ctl.txtEdit.Top(), 90 + ctl.grdDatos.RowHeight(0));
  EXPECT_FLOAT_EQ(ctl.txtEdit.Width(), kDesWidth);
  EXPECT_FLOAT_EQ(ctl.txtEdit.Height(), ctl.grdDatos.RowHeight(1));
  // Later letters are upper-cased in the editor too; the typed text replaces the old one.
  for (char k : std::string("bc")) Key(k);
  EXPECT_EQ(ctl.txtEdit.Text(), "ABC");
  Enter();
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 1), "ABC");

  // Accented letters are upper-cased as well.
  TypeIn(0, "");
  Key(225);  // á
  EXPECT_EQ(ctl.txtEdit.Text(), "Á");
  Escape();

  ctl.UCaseFiltro(false);
  TypeIn(0, "a");
  EXPECT_EQ(ctl.txtEdit.Text(), "a");
  EXPECT_EQ(ctl.txtEdit.SelStart(), 1);
  Key('b');
  EXPECT_EQ(ctl.txtEdit.Text(), "ab");
  EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(CtlTrovel2Test, RejectedKeysControlKeysAndDoubleClickKeepTheCellText) {
  AddArtColumns();
  // "." is rejected on a number column: the editor opens on the cell's text.
  ctl.grdDatos.SetTextMatrix(1, 2, "12");
  TypeIn(2, ".");
  EXPECT_TRUE(ctl.txtEdit.Visible());
  EXPECT_EQ(ctl.txtEdit.Text(), "12");
  EXPECT_EQ(ctl.txtEdit.SelStart(), 2);
  Escape();
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 2), "12");

  // Enter and Backspace on the grid open the editor too; nothing is deleted.
  for (int16_t k : {int16_t{13}, int16_t{8}}) {
    ctl.grdDatos.SetTextMatrix(1, 0, "abc");
    TypeIn(0, "");
    Key(k);
    EXPECT_TRUE(ctl.txtEdit.Visible()) << k;
    EXPECT_EQ(ctl.txtEdit.Text(), "abc") << k;
    EXPECT_EQ(ctl.txtEdit.SelStart(), 3) << k;
    Escape();
    EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 0), "abc") << k;
  }

  // A double click in filter mode edits the current cell, caret at the end.
  ctl.grdDatos.SetTextMatrix(1, 3, "01/02/2003");
  ctl.grdDatos.SetCol(3);
  ctl.grdDatos.onDblClick();
  EXPECT_TRUE(ctl.txtEdit.Visible());
  EXPECT_EQ(host.FocusedWidget(), &ctl.txtEdit);
  EXPECT_EQ(ctl.txtEdit.Text(), "01/02/2003");
  EXPECT_EQ(ctl.txtEdit.SelStart(), 10);
  EXPECT_FLOAT_EQ(ctl.txtEdit.Left(), 60 + kCodWidth + kDesWidth + 13 * 120);
  EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(CtlTrovel2Test, KeysAreFilteredByTheColumnType) {
  AddArtColumns();
  ctl.Columns()->Add("4", "activo", "art", static_cast<TIPOC>(3), "Activo", 2);
  // Numbers: digits, "-", "<", ">"; not ".", ",", blank or letters.
  TypeIn(2, "-5a., <>9");
  EXPECT_EQ(ctl.txtEdit.Text(), "-5<>9");
  Escape();
  // Dates: digits, "/", "<", ">"; not "-", "." or letters.
  TypeIn(3, "1/a2.-<>");
  EXPECT_EQ(ctl.txtEdit.Text(), "1/2<>");
  Escape();
  // Texts take everything.
  TypeIn(0, "a1 .-/%");
  EXPECT_EQ(ctl.txtEdit.Text(), "A1 .-/%");
  Escape();
  // A type outside 0..2 accepts no character at all.
  ctl.grdDatos.SetTextMatrix(1, 4, "zz");
  TypeIn(4, "5a/<");
  EXPECT_TRUE(ctl.txtEdit.Visible());
  EXPECT_EQ(ctl.txtEdit.Text(), "zz");
  Enter();
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 4), "zz");
  EXPECT_TRUE(TakeMessages().empty());
}

// --- Commit, cancel, moving on ---------------------------------------------------------

TEST_F(CtlTrovel2Test, EnterCommitsAndMovesToTheNextVisibleColumn) {
  AddArtColumns();
  ctl.Columns()->Item(Variant(int32_t{3}))->Visible(false);  // grid column 2 hidden
  TypeIn(1, "gar%");
  // The pending events run after the commit and before the column moves.
  int col_then = -1;
  std::string text_then;
  host.Post([&] {
    col_then = ctl.grdDatos.Col();
    text_then = ctl.grdDatos.TextMatrix(1, 1);
  });
  Enter();
  EXPECT_EQ(col_then, 1);
  EXPECT_EQ(text_then, "GAR%");
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 1), "GAR%");
  EXPECT_FALSE(ctl.txtEdit.Visible());
  EXPECT_EQ(host.FocusedWidget(), &ctl.grdDatos);
  EXPECT_EQ(ctl.grdDatos.Col(), 3);  // skipped the hidden column
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 2), "");

  // From the last column Enter wraps to the first non-fixed column.
  TypeIn(3, "010203");
  Enter();
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 3), "01/02/2003");
  EXPECT_EQ(ctl.grdDatos.Col(), 0);
  TypeIn(0, "x");
  Enter();
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 0), "X");
  EXPECT_EQ(ctl.grdDatos.Col(), 1);

  // A key typed on a hidden column moves off it before the editor opens.
  host.SetFocus(&ctl.grdDatos);
  ctl.grdDatos.SetCol(2);
  Key('<');
  EXPECT_EQ(ctl.grdDatos.Col(), 3);
  EXPECT_EQ(ctl.txtEdit.Text(), "<");
  Escape();
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 2), "");

  // With a fixed first column the wrap lands on the first non-fixed one.
  ctl.grdDatos.SetFixedCols(1);
  TypeIn(3, "");
  Key(13);  // opens the editor on the cell's text
  Enter();
  EXPECT_EQ(ctl.grdDatos.Col(), 1);
  EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(CtlTrovel2Test, EscapeLeavesTheCellUnchanged) {
  AddArtColumns();
  ctl.grdDatos.SetTextMatrix(1, 0, "old");
  TypeIn(0, "new");
  ASSERT_EQ(ctl.txtEdit.Text(), "NEW");
  Escape();
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 0), "old");
  EXPECT_FALSE(ctl.txtEdit.Visible());
  EXPECT_EQ(host.FocusedWidget(), &ctl.grdDatos);
  EXPECT_EQ(ctl.grdDatos.Col(), 0);
  // Focus moving on later writes nothing either.
  host.SetFocus(&ctl.cmdLeer);
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 0), "old");
}

TEST_F(CtlTrovel2Test, LeavingTheEditorAnyWayCommitsIntoTheEditedCell) {
  AddArtColumns();
  TypeIn(1, "gar%");
  ctl.grdDatos.SetCol(2);  // leave cell: commits before the move
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 1), "GAR%");
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 2), "");
  EXPECT_FALSE(ctl.txtEdit.Visible());
  TypeIn(2, ">100");
  TypeIn(3, "<150302");  // focus back to the grid committed ">100"
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 2), ">100");
  // Clicking the read button: the date is completed and committed first.
  host.SetFocus(&ctl.cmdLeer);
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 3), "<15/03/2002");
  ctl.cmdLeer.Click();
  ASSERT_EQ(log->statements.size(), 1u);
  EXPECT_EQ(log->statements[0],
            "SELECT * FROM ART where 1=1  and art.des like 'GAR%' and art.precio >= 100 and art.alta <= "
            "#03/15/2002# ORDER BY cod");
  EXPECT_EQ(TakeMessages(), Strings{"No existen registros"});
}

// --- Dates -------------------------------------------------------------------------------

TEST_F(CtlTrovel2Test, DatesAreCompletedAndChecked) {
  AddArtColumns();
  struct Case {
    const char* keys;
    const char* cell;     // the cell after Enter
    const char* message;  // "" when none
  };
  const Case cases[] = {
      {"010203", "01/02/2003", ""},
      {">311299", ">31/12/1999", ""},
      {"<15032002", "<15/03/2002", ""},
      {"150302", "15/03/2002", ""},
      {"15/03/02", "15/03/2002", ""},
      {"150381", "15/03/1981", ""},
      {"150380", "15/03/2080", ""},
      {"291200", "29/12/2000", ""},
      {"29022000", "29/02/2000", ""},
      {"29021900", "29/02/1900", ""},
      {"31/12/2003", "31/12/2003", ""},
      {"29022001", "", "Fecha no válido"},
      {"310403", "", "Fecha no válido"},
      {"001203", "", "Fecha no válido"},
      {"1/2/2003", "", "Dia no valida, Ingrese ddmmyy"},
      {"12345", "", "Fecha no valida, Ingrese ddmmyy"},
      {"1234567", "", "Fecha no valida, Ingrese ddmmyy"},
      {"01/13/2003", "", "Mes no valida, Ingrese ddmmyy"},
      {"010003", "", "Mes no valida, Ingrese ddmmyy"},
      {"15/3/20034", "", "Mes no valida, Ingrese ddmmyy"},
      {"15/03/2/03", "", "Año no valida, Ingrese ddmmyy"},
  };
  for (const Case& c : cases) {
    ctl.grdDatos.SetTextMatrix(1, 3, "prev");
    TypeIn(3, c.keys);
    Enter();
    EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 3), c.cell) << c.keys;
    const Strings expected = *c.message ? Strings{c.message} : Strings{};
    EXPECT_EQ(TakeMessages(), expected) << c.keys;
    EXPECT_FALSE(ctl.txtEdit.Visible()) << c.keys;
  }
  // Text columns are never checked as dates.
  TypeIn(1, "12345");
  Enter();
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 1), "12345");
  EXPECT_TRUE(TakeMessages().empty());
}

// --- Results mode --------------------------------------------------------------------------

TEST_F(CtlTrovel2Test, ResultsModeEnterAndDoubleClickSelectOtherKeysDoNothing) {
  AddArtColumns();
  FillArt(5);
  Read();
  ASSERT_EQ(host.FocusedWidget(), &ctl.grdDatos);
  int selected = 0;
  ctl.evtSeleccionar = [&] { ++selected; };
  ctl.grdDatos.SetRow(2);
  for (int16_t k : {int16_t{'a'}, int16_t{'5'}, int16_t{8}, int16_t{32}}) Key(k);
  EXPECT_FALSE(ctl.txtEdit.Visible());
  EXPECT_EQ(selected, 0);
  EXPECT_EQ(ctl.grdDatos.TextMatrix(2, 0), "A002");
  EXPECT_EQ(DataRows(), 5);

  Enter();
  EXPECT_EQ(selected, 1);
  EXPECT_EQ(ctl.Columns()->Item(Variant(int32_t{1}))->Value(), "A002");
  EXPECT_FALSE(ctl.txtEdit.Visible());

  ctl.grdDatos.SetRow(3);
  ctl.grdDatos.onDblClick();
  EXPECT_EQ(selected, 2);
  EXPECT_EQ(ctl.Columns()->Item(Variant(int32_t{1}))->Value(), "A003");
  EXPECT_FALSE(ctl.txtEdit.Visible());
  EXPECT_TRUE(TakeMessages().empty());
}

// --- Layout and fonts --------------------------------------------------------------------

TEST_F(CtlTrovel2Test, CreatedWithTheDesignedChildren) {
  auto at = [](const Widget& w) { return std::vector<float>{w.Left(), w.Top(), w.Width(), w.Height()}; };
  EXPECT_EQ(at(ctl.grdDatos), (std::vector<float>{60, 90, 5115, 4005}));
  EXPECT_EQ(at(ctl.txtEdit), (std::vector<float>{1770, 1980, 2055, 555}));
  EXPECT_EQ(at(ctl.cmdLeer), (std::vector<float>{465, 4200, 850, 550}));
  EXPECT_EQ(at(ctl.cmdSiguiente), (std::vector<float>{1575, 4215, 850, 550}));
  EXPECT_EQ(at(ctl.cmdSeleccionar), (std::vector<float>{2670, 4230, 850, 550}));
  EXPECT_EQ(at(ctl.cmdSalir), (std::vector<float>{3840, 4230, 850, 550}));
  EXPECT_FALSE(ctl.txtEdit.Visible());
  EXPECT_EQ(ctl.txtEdit.Text(), "");
  EXPECT_EQ(ctl.cmdLeer.Caption(), "&Leer");
  EXPECT_EQ(ctl.cmdSiguiente.Caption(), "S&iguiente");
  EXPECT_EQ(ctl.cmdSeleccionar.Caption(), "S&eleccion");
  EXPECT_EQ(ctl.cmdSalir.Caption(), "&Salir");
  EXPECT_TRUE(ctl.cmdLeer.Enabled());
  EXPECT_FALSE(ctl.cmdSiguiente.Enabled());
  EXPECT_FALSE(ctl.cmdSeleccionar.Enabled());
  EXPECT_TRUE(ctl.cmdSalir.Enabled());
  std::vector<int> tabs;
  for (Widget* w : ctl.Children()) tabs.push_back(w->TabIndex());
  EXPECT_EQ(tabs, (std::vector<int>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(ctl.grdDatos.Rows(), 2);
  EXPECT_EQ(ctl.grdDatos.FixedRows(), 1);
  EXPECT_EQ(ctl.grdDatos.FixedCols(), 0);
  EXPECT_EQ(ctl.grdDatos.TextMatrix(0, 0), "Código" + std::string(9, ' '));
  EXPECT_EQ(ctl.grdDatos.TextMatrix(0, 1), " Nombre" + std::string(64, ' '));
  ASSERT_NE(ctl.GridFont(), nullptr);
  EXPECT_EQ(ctl.GridFont()->name, "MS Sans Serif");
  EXPECT_FLOAT_EQ(ctl.GridFont()->size, 8.25f);
  EXPECT_FALSE(ctl.GridFont()->bold);
}

TEST_F(CtlTrovel2Test, ResizePlacesGridAndButtonRow) {
  host.SetInnerSize(&ctl, 5280, 4905);
  ctl.Resize();
  EXPECT_FLOAT_EQ(ctl.grdDatos.Left(), 60);
  EXPECT_FLOAT_EQ(ctl.grdDatos.Top(), 90);
  EXPECT_FLOAT_EQ(ctl.grdDatos.Width(), 5160);
  EXPECT_FLOAT_EQ(ctl.grdDatos.Height(), 4115);
  const CommandButton* buttons[] = {&ctl.cmdLeer, &ctl.cmdSiguiente, &ctl.cmdSeleccionar, &ctl.cmdSalir};
  const float lefts[] = {408.75f, 1471.25f, 2533.75f, 3596.25f};
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(buttons[i]->Top(), 4285) << i;
    EXPECT_FLOAT_EQ(buttons[i]->Left(), lefts[i]) << i;
    EXPECT_FLOAT_EQ(buttons[i]->Width(), 850) << i;
    EXPECT_FLOAT_EQ(buttons[i]->Height(), 550) << i;
  }
  // The editor is not moved by the layout.
  EXPECT_FLOAT_EQ(ctl.txtEdit.Left(), 1770);
  EXPECT_FLOAT_EQ(ctl.txtEdit.Top(), 1980);

  // 2000 wider and 1000 higher: the row stays a quarter button left of centre.
  host.SetInnerSize(&ctl, 7280, 5905);
  ctl.Resize();
  EXPECT_FLOAT_EQ(ctl.grdDatos.Width(), 7160);
  EXPECT_FLOAT_EQ(ctl.grdDatos.Height(), 5115);
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(buttons[i]->Top(), 5285) << i;
    EXPECT_FLOAT_EQ(buttons[i]->Left(), lefts[i] + 1000) << i;
  }
  EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(CtlTrovel2Test, ResizeTooLowShowsTheFailureAndMovesNothing) {
  std::string expected;
  try {
    FlexGrid probe("grdDatos");
    probe.SetHeight(700 - 90 - 550 - 150);
  } catch (const std::exception& e) {
    expected = e.what();
  }
  ASSERT_FALSE(expected.empty());
  host.SetInnerSize(&ctl, 6000, 700);
  ctl.Resize();
  EXPECT_EQ(TakeMessages(), Strings{expected});
  EXPECT_FLOAT_EQ(ctl.grdDatos.Width(), 5115);
  EXPECT_FLOAT_EQ(ctl.grdDatos.Height(), 4005);
  EXPECT_FLOAT_EQ(ctl.cmdLeer.Top(), 4200);
  EXPECT_FLOAT_EQ(ctl.cmdLeer.Left(), 465);
  EXPECT_FLOAT_EQ(ctl.cmdSalir.Top(), 4230);
  EXPECT_FLOAT_EQ(ctl.cmdSalir.Left(), 3840);
}

TEST_F(CtlTrovel2Test, FontsAreSharedObjects) {
  // A new control's buttons each hold a font object of their own.
  ASSERT_NE(ctl.CommandFont(), nullptr);
  EXPECT_NE(ctl.CommandFont(), ctl.cmdSalir.GetFont());
  EXPECT_EQ(ctl.CommandFont()->name, "MS Sans Serif");
  auto bold = std::make_shared<Font>("Arial", 10, true);
  ctl.CommandFont(bold);
  for (const CommandButton* b : {&ctl.cmdLeer, &ctl.cmdSiguiente, &ctl.cmdSeleccionar, &ctl.cmdSalir})
    EXPECT_EQ(b->GetFont(), bold) << b->Name();
  EXPECT_EQ(ctl.CommandFont(), bold);

  auto cells = std::make_shared<Font>("Courier New", 12);
  ctl.GridFont(cells);
  EXPECT_EQ(ctl.grdDatos.GetFont(), cells);
  EXPECT_EQ(ctl.txtEdit.GetFont(), cells);
  EXPECT_EQ(ctl.GridFont(), cells);
  EXPECT_EQ(ctl.cmdLeer.GetFont(), bold);
  // One change of the shared object shows on every holder.
  bold->bold = false;
  EXPECT_FALSE(ctl.cmdSalir.GetFont()->bold);
  // Neither notified nor laid out again.
  EXPECT_TRUE(host.notices.empty());
  EXPECT_FLOAT_EQ(ctl.grdDatos.Width(), 5115);
}

}  // namespace
}  // namespace trovel
