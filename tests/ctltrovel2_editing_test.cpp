// ctlTrovel2: typing filters into the grid's filter row through the cell
// editor (opening, per-type key filtering, commit, cancel, moving on, date
// completion and checks), the grid keys in results mode, and the layout of
// the children with the two shared fonts.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "platform/Font.h"
#include "tests/CtlTrovel2Fixture.h"

namespace trovel {
namespace {

using Strings = std::vector<std::string>;
using Bounds = std::vector<float>;  // left, top, width, height

// Widths of the four art columns at 120 twips per character: (Longht + 3) x 120.
constexpr float kCodWidth = 9 * 120, kDesWidth = 23 * 120;

// Where the designer put the children, in Children() order: grid, editor, then the four buttons.
const std::vector<Bounds> kDesigned = {{60, 90, 5115, 4005},   {1770, 1980, 2055, 555}, {465, 4200, 850, 550},
                                       {1575, 4215, 850, 550}, {2670, 4230, 850, 550},  {3840, 4230, 850, 550}};

Bounds At(const Widget& w) { return {w.Left(), w.Top(), w.Width(), w.Height()}; }

std::vector<Bounds> AllAt(ctlTrovel2& ctl) {
  std::vector<Bounds> all;
  for (Widget* w : ctl.Children()) all.push_back(At(*w));
  return all;
}

std::vector<CommandButton*> Buttons(ctlTrovel2& ctl) {
  return {&ctl.cmdLeer, &ctl.cmdSiguiente, &ctl.cmdSeleccionar, &ctl.cmdSalir};
}

// --- Opening the editor ----------------------------------------------------------------

TEST_F(CtlTrovel2Test, TypingALetterOrDoubleClickingOpensTheEditorOverTheCell) {
  AddArtColumns();
  ctl.grdDatos.SetTextMatrix(1, 1, "old");
  TypeIn(1, "\xe1");  // á: accented letters are upper-cased as well
  EXPECT_EQ(host.FocusedWidget(), &ctl.txtEdit);
  EXPECT_EQ(ctl.txtEdit.Text(), "Á");
  EXPECT_EQ(ctl.txtEdit.SelStart(), 1);  // in characters, not bytes
  EXPECT_EQ(At(ctl.txtEdit),
            (Bounds{60 + kCodWidth, 90 + ctl.grdDatos.RowHeight(0), kDesWidth, ctl.grdDatos.RowHeight(1)}));
  // Later letters are upper-cased in the editor too; the typed text replaces the old one.
  for (char k : std::string("bc")) Key(k);
  Enter();
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 1), "ÁBC");

  ctl.UCaseFiltro(false);
  TypeIn(0, "ab");
  EXPECT_EQ(ctl.txtEdit.Text(), "ab");
  Escape();

  // A double click in filter mode edits the current cell, caret at the end.
  ctl.grdDatos.SetTextMatrix(1, 3, "01/02/2003");
  ctl.grdDatos.SetCol(3);
  ctl.grdDatos.onDblClick();
  EXPECT_EQ(host.FocusedWidget(), &ctl.txtEdit);
  EXPECT_EQ(ctl.txtEdit.Text(), "01/02/2003");
  EXPECT_EQ(ctl.txtEdit.SelStart(), 10);
  EXPECT_FLOAT_EQ(ctl.txtEdit.Left(), 60 + kCodWidth + kDesWidth + 13 * 120);
  EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(CtlTrovel2Test, KeysAreFilteredByTheColumnType) {
  AddArtColumns();
  ctl.Columns()->Add("4", "activo", "art", static_cast<TIPOC>(3), "Activo", 2);
  // A refused first key, Enter or Backspace still opens the editor: on the cell's text, caret at its end.
  const struct {
    int col;
    const char *cell, *keys, *text;  // text: the editor's text after the keys
  } cases[] = {
      {2, "", "-5a., <>9", "-5<>9"},  // numbers: digits, "-", "<", ">"; not ".", ",", blank or letters
      {2, "12", ".", "12"},
      {3, "", "1/a2.-<>", "1/2<>"},   // dates: digits, "/", "<", ">"; not "-", "." or letters
      {0, "", "a1 .-/%", "A1 .-/%"},  // texts take everything
      {0, "abc", "\r", "abc"},
      {0, "abc", "\b", "abc"},  // nothing is deleted
      {4, "zz", "5a/<", "zz"},  // a type outside 0..2 accepts no character at all
  };
  for (const auto& c : cases) {
    ctl.grdDatos.SetTextMatrix(1, c.col, c.cell);
    TypeIn(c.col, c.keys);
    EXPECT_EQ(host.FocusedWidget(), &ctl.txtEdit) << c.keys;  // a hidden editor could not take the focus
    EXPECT_EQ(ctl.txtEdit.Text(), c.text) << c.keys;
    EXPECT_EQ(ctl.txtEdit.SelStart(), static_cast<int>(std::strlen(c.text))) << c.keys;
    Escape();
    EXPECT_EQ(ctl.grdDatos.TextMatrix(1, c.col), c.cell) << c.keys;
  }
  // A character beyond U+FFFF has no key code: in the open editor a text
  // column takes it whole, as it takes any letter; the others refuse it.
  const std::pair<int, const char*> wide[] = {{0, "A𐀧"}, {2, "1"}, {3, "1"}, {4, "zz"}};
  for (const auto& [col, text] : wide) {
    TypeIn(col, col == 0 ? "a" : "1");
    host.TypeCharacter(ctl.txtEdit, 0x10027);
    EXPECT_EQ(ctl.txtEdit.Text(), text) << col;
    Escape();
  }
  EXPECT_TRUE(TakeMessages().empty());
}

// --- Commit, cancel, moving on ---------------------------------------------------------

TEST_F(CtlTrovel2Test, EnterCommitsAndMovesToTheNextVisibleColumnEscapeCancels) {
  AddArtColumns();
  ctl.Columns()->Item(Variant(int32_t{3}))->Visible(false);  // grid column 2 hidden
  TypeIn(1, "gar%");
  // The pending events run after the commit and before the column moves.
  std::pair<int, std::string> then;
  host.Post([&] { then = {ctl.grdDatos.Col(), ctl.grdDatos.TextMatrix(1, 1)}; });
  Enter();
  EXPECT_EQ(then, (std::pair<int, std::string>{1, "GAR%"}));
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

  // A key typed on a hidden column moves off it before the editor opens.
  TypeIn(2, "<");
  EXPECT_EQ(ctl.grdDatos.Col(), 3);
  EXPECT_EQ(ctl.txtEdit.Text(), "<");
  // Escape leaves both cells unchanged and the grid on the same column.
  Escape();
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 2), "");
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 3), "01/02/2003");
  EXPECT_FALSE(ctl.txtEdit.Visible());
  EXPECT_EQ(host.FocusedWidget(), &ctl.grdDatos);
  EXPECT_EQ(ctl.grdDatos.Col(), 3);
  // Focus moving on later writes nothing either.
  host.SetFocus(&ctl.cmdLeer);
  EXPECT_EQ(ctl.grdDatos.TextMatrix(1, 3), "01/02/2003");

  // With a fixed first column the wrap lands on the first non-fixed one.
  ctl.grdDatos.SetFixedCols(1);
  TypeIn(3, "\r\r");  // the first Enter opens the editor on the cell's text, the second commits
  EXPECT_EQ(ctl.grdDatos.Col(), 1);
  EXPECT_TRUE(TakeMessages().empty());
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
  EXPECT_EQ(log->statements,
            Strings{"SELECT * FROM ART where 1=1  and art.des like 'GAR%' and art.precio >= 100 and art.alta <= "
                    "#03/15/2002# ORDER BY cod"});
  EXPECT_EQ(TakeMessages(), Strings{"No existen registros"});
}

// --- Dates -------------------------------------------------------------------------------

TEST_F(CtlTrovel2Test, DatesAreCompletedAndChecked) {
  AddArtColumns();
  // Typed keys -> the cell after Enter. Two-digit years above 80 are 19xx, the others 20xx.
  const std::pair<const char*, const char*> completed[] = {
      {"010203", "01/02/2003"},   {">311299", ">31/12/1999"}, {"<15032002", "<15/03/2002"}, {"150302", "15/03/2002"},
      {"15/03/02", "15/03/2002"}, {"150381", "15/03/1981"},   {"150380", "15/03/2080"},     {"291200", "29/12/2000"},
      {"29022000", "29/02/2000"}, {"29021900", "29/02/1900"}, {"31/12/2003", "31/12/2003"}};
  // Each message -> the keys it refuses; the cell is then emptied.
  const std::pair<const char*, Strings> refused[] = {
      {"Fecha no válido", {"29022001", "310403", "001203"}},
      {"Dia no valida, Ingrese ddmmyy", {"1/2/2003"}},
      {"Fecha no valida, Ingrese ddmmyy", {"12345", "1234567"}},
      {"Mes no valida, Ingrese ddmmyy", {"01/13/2003", "010003", "15/3/20034"}},
      {"Año no valida, Ingrese ddmmyy", {"15/03/2/03"}}};
  using Outcome = std::pair<std::string, Strings>;  // the cell and the messages shown
  auto enter_date = [&](const std::string& keys) {
    ctl.grdDatos.SetTextMatrix(1, 3, "prev");
    TypeIn(3, keys);
    Enter();
    EXPECT_FALSE(ctl.txtEdit.Visible()) << keys;
    return Outcome{ctl.grdDatos.TextMatrix(1, 3), TakeMessages()};
  };
  for (const auto& [keys, cell] : completed) EXPECT_EQ(enter_date(keys), (Outcome{cell, {}})) << keys;
  for (const auto& [message, keys_refused] : refused)
    for (const std::string& keys : keys_refused) EXPECT_EQ(enter_date(keys), (Outcome{"", {message}})) << keys;
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
  std::vector<Variant> picked;  // the code column's value when each selection is announced
  ctl.evtSeleccionar = [&] { picked.push_back(ctl.Columns()->Item(Variant(int32_t{1}))->Value()); };
  ctl.grdDatos.SetRow(2);
  for (int16_t k : {int16_t{'a'}, int16_t{'5'}, int16_t{8}, int16_t{32}}) Key(k);
  EXPECT_TRUE(picked.empty());
  EXPECT_EQ(ctl.grdDatos.TextMatrix(2, 0), "A002");
  EXPECT_EQ(DataRows(), 5);
  Enter();
  ctl.grdDatos.SetRow(3);
  ctl.grdDatos.onDblClick();
  EXPECT_EQ(picked, (std::vector<Variant>{Variant("A002"), Variant("A003")}));
  EXPECT_FALSE(ctl.txtEdit.Visible());  // no key, Enter or double click opened the editor
  EXPECT_TRUE(TakeMessages().empty());
}

// --- Layout and fonts --------------------------------------------------------------------

TEST_F(CtlTrovel2Test, CreatedWithTheDesignedChildren) {
  EXPECT_EQ(AllAt(ctl), kDesigned);
  EXPECT_FALSE(ctl.txtEdit.Visible());
  EXPECT_EQ(ctl.txtEdit.Text(), "");
  // Only reading and leaving make sense before anything was read.
  const std::pair<const char*, bool> captions[] = {
      {"&Leer", true}, {"S&iguiente", false}, {"S&eleccion", false}, {"&Salir", true}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(Buttons(ctl)[i]->Caption(), captions[i].first);
    EXPECT_EQ(Buttons(ctl)[i]->Enabled(), captions[i].second) << captions[i].first;
  }
  std::vector<int> tabs;
  for (Widget* w : ctl.Children()) tabs.push_back(w->TabIndex());
  EXPECT_EQ(tabs, (std::vector<int>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(ctl.grdDatos.Rows(), 2);
  EXPECT_EQ(ctl.grdDatos.FixedRows(), 1);
  EXPECT_EQ(ctl.grdDatos.FixedCols(), 0);
  EXPECT_EQ(ctl.grdDatos.TextMatrix(0, 0), "Código" + std::string(9, ' '));
  EXPECT_EQ(ctl.grdDatos.TextMatrix(0, 1), " Nombre" + std::string(64, ' '));
}

TEST_F(CtlTrovel2Test, ResizeStretchesTheGridAndCentresTheButtonRowOrShowsWhyNot) {
  // Too low for the grid: the failure is shown and nothing moves.
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
  EXPECT_EQ(AllAt(ctl), kDesigned);

  // At the designed size and then 2000 wider and 1000 higher: the row stays a quarter button left of centre.
  const float lefts[] = {408.75f, 1471.25f, 2533.75f, 3596.25f};
  for (float grow : {0.0f, 1000.0f}) {
    host.SetInnerSize(&ctl, 5280 + 2 * grow, 4905 + grow);
    ctl.Resize();
    EXPECT_EQ(At(ctl.grdDatos), (Bounds{60, 90, 5160 + 2 * grow, 4115 + grow})) << grow;
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(At(*Buttons(ctl)[i]), (Bounds{lefts[i] + grow, 4285 + grow, 850, 550})) << grow << " " << i;
    EXPECT_EQ(At(ctl.txtEdit), kDesigned[1]) << grow;  // the editor is not moved by the layout
  }
  EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(CtlTrovel2Test, FontsAreSharedObjects) {
  // A new control's children start with MS Sans Serif 8.25, the buttons each with a font object of their own.
  for (Widget* w : ctl.Children()) {
    ASSERT_NE(w->GetFont(), nullptr) << w->Name();
    EXPECT_EQ(std::tie(w->GetFont()->name, w->GetFont()->size, w->GetFont()->bold),
              std::make_tuple("MS Sans Serif", 8.25f, false))
        << w->Name();
  }
  EXPECT_NE(ctl.CommandFont(), ctl.cmdSalir.GetFont());
  auto bold = std::make_shared<Font>("Arial", 10, true);
  ctl.CommandFont(bold);
  for (const CommandButton* b : Buttons(ctl)) EXPECT_EQ(b->GetFont(), bold) << b->Name();

  auto cells = std::make_shared<Font>("Courier New", 12);
  ctl.GridFont(cells);
  EXPECT_EQ(ctl.grdDatos.GetFont(), cells);
  EXPECT_EQ(ctl.txtEdit.GetFont(), cells);
  EXPECT_EQ(ctl.cmdLeer.GetFont(), bold);
  // One change of the shared object shows on every holder.
  bold->bold = false;
  EXPECT_FALSE(ctl.cmdSalir.GetFont()->bold);
  // Neither notified nor laid out again.
  EXPECT_TRUE(host.notices.empty());
  EXPECT_EQ(AllAt(ctl), kDesigned);
}

}  // namespace
}  // namespace trovel
