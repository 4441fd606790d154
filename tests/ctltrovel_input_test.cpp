// ctlTrovel: the filter boxes: keystrokes filtered by the column's type code,
// Enter moving the focus on, and the date check when a date box is left.
#include <tuple>

#include "ctltrovel/basFuncion.h"
#include "tests/CtlTrovelFixture.h"

namespace trovel {
namespace {

class InputTest : public CtlTrovelTest {
 protected:
  void SetCode(int n, const std::string& code) { ctl.SetProperty("TipoCampo" + std::to_string(n), code); }
  // Focuses `box`, types `keys` into it and returns what it then holds.
  std::string Type(TextBox& box, const std::string& keys) {
    TypeInto(box, keys);
    return box.Text();
  }
  // Enters `box` holding `before`, changes it to `typed`, moves the focus to `next`; returns the box's text.
  std::string Leave(TextBox& box, const std::string& before, const std::string& typed, TextBox& next) {
    box.SetText(before);
    host.SetFocus(&box);
    box.SetText(typed);
    host.SetFocus(&next);
    return box.Text();
  }
  // Exactly `count` messages were shown, each the date check's information box.
  void ExpectDateMessages(size_t count) {
    EXPECT_EQ(host.messages.size(), count);
    for (auto& m : host.messages)
      EXPECT_EQ(std::tie(m.text, m.style, m.title),
                std::make_tuple("         Fecha no valida\r\nformato de fecha: dd.mm.aaaa",
                                Host::kInformation | Host::kOkOnly, "Mensaje"));
  }
};

TEST_F(InputTest, KeystrokesFilteredByTypeCodeInEveryBox) {
  using Rule = std::tuple<const char*, const char*, const char*>;  // code, keys, text
  const Rule rules[] = {{"TEX", "a1-b", "A1-B"},
                        {"TEX", "ñç ǎ ա ß", "ÑÇ Ǎ Ա ß"},  // every script; one character stays one
                        {"NUM", "1.,-+ 2x", "12"},
                        {"NUM", "34\b", "3"},  // backspace passes
                        {"FEC", "25/-.a12", "25/12"},
                        {"tex", "a.-", "a.-"}};  // a lower-case code has no rule at all
  TextBox* boxes[] = {&ctl.txtCodigo, &ctl.txtNombre, &ctl.txtcol3, &ctl.txtcol4};
  for (int n = 1; n <= 4; ++n) {
    for (const auto& [code, keys, text] : rules) {
      SetCode(n, code);
      EXPECT_EQ(Type(*boxes[n - 1], keys), text) << n << " " << code;
    }
  }
  // A code above 32767 arrives negative: below 32, so a number box keeps it.
  SetCode(1, "NUM");
  int16_t wide = -5;
  ctl.txtCodigo.FireKeyPress(wide);
  EXPECT_EQ(wide, -5);
  // A character beyond U+FFFF has no key code but the same rules, whole:
  // text columns take it (upper-cased), number and date columns refuse it.
  const std::tuple<const char*, std::u32string, const char*> beyond[] = {
      {"TEX", U"a\U00010027", "A𐀧"}, {"NUM", U"1\U00010027", "1"}, {"FEC", U"1\U00010027", "1"}, {"tex", U"a\U00010027", "a𐀧"}};
  for (const auto& [code, typed, text] : beyond) {
    SetCode(2, code);
    ctl.txtNombre.SetText("");
    for (char32_t c : typed) host.TypeCharacter(ctl.txtNombre, c);
    EXPECT_EQ(ctl.txtNombre.Text(), text) << code;
  }
  // The type is read at every keystroke.
  SetCode(1, "TEX");
  Type(ctl.txtCodigo, "a");
  SetCode(1, "NUM");
  host.TypeKey(ctl.txtCodigo, 'b');
  host.TypeKey(ctl.txtCodigo, '7');
  EXPECT_EQ(ctl.txtCodigo.Text(), "A7");
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(InputTest, EnterMovesFocusToNextVisibleControlAfterTheDateCheck) {
  SetCode(1, "NUM");  // Enter passes a number box's filter too
  ctl.N_Campo3("");   // hidden boxes are skipped
  host.SetFocus(&ctl.txtCodigo);
  std::vector<Widget*> path;
  for (int i = 0; i < 3; ++i) {
    host.TypeKey(*host.FocusedWidget(), 13);
    path.push_back(host.FocusedWidget());
  }
  EXPECT_EQ(path, (std::vector<Widget*>{&ctl.txtNombre, &ctl.txtcol4, &ctl.cmdLeer}));
  // A date box is checked before the focus moves on, which is not sent back; the key code itself stays 13.
  SetCode(1, "FEC");
  ctl.txtCodigo.SetText("01/01/2001");
  host.SetFocus(&ctl.txtCodigo);
  ctl.txtCodigo.SetText("31/02/2001");
  Widget* focused_at_message = nullptr;
  host.onMessageBox = [&](const HeadlessHost::MessageBox&) { focused_at_message = host.FocusedWidget(); };
  int16_t key = 13;
  ctl.txtCodigo.FireKeyPress(key);
  EXPECT_EQ(key, 13);
  ExpectDateMessages(1);
  EXPECT_EQ(focused_at_message, &ctl.txtCodigo);
  EXPECT_EQ(ctl.txtCodigo.Text(), "01/01/2001");
  EXPECT_EQ(host.FocusedWidget(), &ctl.txtNombre);
}

TEST_F(InputTest, DateCheckOnLeavingAChangedBoxAndItsAnswer) {
  // A refused date is put back to the text the box had when entered, with one message; otherwise no message.
  const struct {
    const char *code, *format, *before, *typed, *after;
  } cases[] = {
      {"FEC", "dd/mm/yyyy", "", "25/12/2001", "25/12/2001"},
      {"FEC", "dd/mm/yyyy", "29/02/2000", "29/02/2004", "29/02/2004"},
      {"FEC", "dd/mm/yyyy", "01/01/2001", "29/02/2001", "01/01/2001"},
      {"FEC", "dd/mm/yyyy", "01/01/2001", "13/13/2001", "01/01/2001"},
      {"FEC", "dd/mm/yyyy", "01/01/2001", "25/12/01", "01/01/2001"},    // eight characters: always refused
      {"FEC", "dd/mm/yyyy", "01/01/2001", " 25/12/01 ", "01/01/2001"},  // trimmed to eight
      // No check: an empty box, an unchanged box (even an invalid text), a box that is not "FEC".
      {"FEC", "dd/mm/yyyy", "01/01/2001", "", ""},
      {"FEC", "dd/mm/yyyy", "99/99/9999", "99/99/9999", "99/99/9999"},
      {"TEX", "dd/mm/yyyy", "01/01/2001", "31/02/2001", "31/02/2001"},
      // A month-first format is swapped for the check; any letter case of dd/mm/yyyy means day first.
      {"FEC", "mm/dd/yyyy", "01/01/2001", "12/25/2001", "12/25/2001"},
      {"FEC", "mm/dd/yyyy", "12/25/2001", "25/12/2001", "12/25/2001"},  // month 25
      {"FEC", "Dd/mM/YYYY", "12/25/2001", "25/12/2001", "25/12/2001"},
  };
  for (const auto& c : cases) {
    SetCode(2, c.code);
    ctl.FormatoFecha(c.format);
    EXPECT_EQ(Leave(ctl.txtNombre, c.before, c.typed, ctl.txtCodigo), c.after) << c.format << " " << c.typed;
    ExpectDateMessages(std::string(c.after) == c.typed ? 0 : 1);
    host.messages.clear();
  }
  // The check itself answers a boolean Variant.
  EXPECT_EQ(basFuncion::f_ValidaFecha(host, "25/12/2001"), Variant(true));
  EXPECT_EQ(basFuncion::f_ValidaFecha(host, "25122001"), Variant(false));
  ExpectDateMessages(1);
}

TEST_F(InputTest, EachBoxComparesWithTheTextItHadWhenEntered) {
  SetCode(1, "FEC");
  SetCode(2, "FEC");
  ctl.txtNombre.SetText("02/02/2002");
  EXPECT_EQ(Leave(ctl.txtCodigo, "01/01/2001", "31/02/2001", ctl.txtNombre), "01/01/2001");
  // The second box, entered as the first was left, goes back to its own text, not the first one's.
  ctl.txtNombre.SetText("32/01/2002");
  host.SetFocus(&ctl.txtcol3);
  EXPECT_EQ(ctl.txtNombre.Text(), "02/02/2002");
  ExpectDateMessages(2);
}

}  // namespace
}  // namespace trovel
