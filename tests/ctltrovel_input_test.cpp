// ctlTrovel: the filter boxes: keystrokes filtered by the column's type code,
// Enter moving the focus on, and the date check when a date box is left.
#include "ctltrovel/basFuncion.h"
#include "tests/CtlTrovelFixture.h"

namespace trovel {
namespace {

const std::string kDateMessage = "         Fecha no valida\r\nformato de fecha: dd.mm.aaaa";

class InputTest : public CtlTrovelTest {
 protected:
  TextBox& Box(int n) {
    TextBox* boxes[] = {&ctl.txtCodigo, &ctl.txtNombre, &ctl.txtcol3, &ctl.txtcol4};
    return *boxes[n - 1];
  }
  void SetCode(int n, const std::string& code) { ctl.SetProperty("TipoCampo" + std::to_string(n), code); }
  // Focuses `box`, types `keys` into it and returns what it then holds.
  std::string Type(TextBox& box, const std::string& keys) {
    host.SetFocus(&box);
    box.SetText("");
    for (char k : keys) host.TypeKey(box, static_cast<int16_t>(static_cast<unsigned char>(k)));
    return box.Text();
  }
  void ExpectDateMessages(size_t count) {
    ASSERT_EQ(host.messages.size(), count);
    for (auto& m : host.messages) {
      EXPECT_EQ(m.text, kDateMessage);
      EXPECT_EQ(m.style, Host::kInformation | Host::kOkOnly);
      EXPECT_EQ(m.title, "Mensaje");
    }
  }
};

TEST_F(InputTest, KeystrokesFilteredByTypeCodeInEveryBox) {
  for (int n = 1; n <= 4; ++n) {
    TextBox& box = Box(n);
    SetCode(n, "TEX");
    EXPECT_EQ(Type(box, "a1-b"), "A1-B") << n;
    SetCode(n, "NUM");
    EXPECT_EQ(Type(box, "1.,-+ 2x"), "12") << n;
    EXPECT_EQ(Type(box, "34\b"), "3") << n;  // backspace passes
    SetCode(n, "FEC");
    EXPECT_EQ(Type(box, "25/-.a12"), "25/12") << n;
    SetCode(n, "tex");  // no rule at all
    EXPECT_EQ(Type(box, "a.-"), "a.-") << n;
  }
  // A code above 32767 arrives negative: below 32, so a number box keeps it.
  SetCode(1, "NUM");
  int16_t wide = -5;
  ctl.txtCodigo.FireKeyPress(wide);
  EXPECT_EQ(wide, -5);
  // The type is read at every keystroke.
  host.SetFocus(&ctl.txtCodigo);
  ctl.txtCodigo.SetText("");
  SetCode(1, "TEX");
  host.TypeKey(ctl.txtCodigo, 'a');
  SetCode(1, "NUM");
  host.TypeKey(ctl.txtCodigo, 'b');
  host.TypeKey(ctl.txtCodigo, '7');
  EXPECT_EQ(ctl.txtCodigo.Text(), "A7");
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(InputTest, EnterMovesFocusToNextVisibleControlAndStays13) {
  host.SetFocus(&ctl.txtCodigo);
  host.TypeKey(ctl.txtCodigo, 13);
  EXPECT_EQ(host.FocusedWidget(), &ctl.txtNombre);
  ctl.N_Campo3("");  // hidden boxes are skipped
  host.TypeKey(ctl.txtNombre, 13);
  EXPECT_EQ(host.FocusedWidget(), &ctl.txtcol4);
  host.TypeKey(ctl.txtcol4, 13);
  EXPECT_EQ(host.FocusedWidget(), &ctl.cmdLeer);
  // In a NUM box too, and the key code itself is not discarded.
  SetCode(1, "NUM");
  host.SetFocus(&ctl.txtCodigo);
  int16_t key = 13;
  ctl.txtCodigo.FireKeyPress(key);
  EXPECT_EQ(key, 13);
  EXPECT_EQ(host.FocusedWidget(), &ctl.txtNombre);
  EXPECT_EQ(ctl.txtCodigo.Text(), "");
}

TEST_F(InputTest, EnterInDateBoxChecksBeforeMovingOn) {
  SetCode(1, "FEC");
  ctl.txtCodigo.SetText("01/01/2001");
  host.SetFocus(&ctl.txtCodigo);
  ctl.txtCodigo.SetText("31/02/2001");
  Widget* focused_at_message = nullptr;
  host.onMessageBox = [&](const HeadlessHost::MessageBox&) { focused_at_message = host.FocusedWidget(); };
  host.TypeKey(ctl.txtCodigo, 13);
  ExpectDateMessages(1);
  EXPECT_NE(focused_at_message, &ctl.txtNombre);
  EXPECT_EQ(ctl.txtCodigo.Text(), "01/01/2001");
  EXPECT_EQ(host.FocusedWidget(), &ctl.txtNombre);  // the focus is not sent back
}

TEST_F(InputTest, DateCheckOnLeavingAChangedBox) {
  SetCode(2, "FEC");
  auto leave_with = [&](const std::string& before, const std::string& typed) {
    ctl.txtNombre.SetText(before);
    host.SetFocus(&ctl.txtNombre);
    ctl.txtNombre.SetText(typed);
    host.SetFocus(&ctl.txtCodigo);
    return ctl.txtNombre.Text();
  };
  EXPECT_EQ(leave_with("", "25/12/2001"), "25/12/2001");
  EXPECT_EQ(leave_with("29/02/2000", "29/02/2004"), "29/02/2004");
  ExpectDateMessages(0);
  EXPECT_EQ(leave_with("01/01/2001", "31/02/2001"), "01/01/2001");
  ExpectDateMessages(1);
  EXPECT_EQ(leave_with("01/01/2001", "13/13/2001"), "01/01/2001");
  EXPECT_EQ(leave_with("01/01/2001", "25/12/01"), "01/01/2001");  // eight characters: always refused
  EXPECT_EQ(leave_with("01/01/2001", "25/12/01  "), "01/01/2001");  // trimmed to eight
  ExpectDateMessages(4);
  // No check: an empty box, an unchanged box (even an invalid text), a box that is not "FEC".
  EXPECT_EQ(leave_with("01/01/2001", ""), "");
  EXPECT_EQ(leave_with("99/99/9999", "99/99/9999"), "99/99/9999");
  SetCode(2, "TEX");
  EXPECT_EQ(leave_with("01/01/2001", "31/02/2001"), "31/02/2001");
  ExpectDateMessages(4);
}

TEST_F(InputTest, MonthFirstFormatIsSwappedForTheCheck) {
  SetCode(1, "FEC");
  ctl.FormatoFecha("mm/dd/yyyy");
  ctl.txtCodigo.SetText("01/01/2001");
  host.SetFocus(&ctl.txtCodigo);
  ctl.txtCodigo.SetText("12/25/2001");
  host.SetFocus(&ctl.txtNombre);
  EXPECT_EQ(ctl.txtCodigo.Text(), "12/25/2001");
  ExpectDateMessages(0);
  host.SetFocus(&ctl.txtCodigo);
  ctl.txtCodigo.SetText("25/12/2001");  // month 25
  host.SetFocus(&ctl.txtNombre);
  EXPECT_EQ(ctl.txtCodigo.Text(), "12/25/2001");
  ExpectDateMessages(1);
  // Any letter case of dd/mm/yyyy means day first.
  ctl.FormatoFecha("Dd/mM/YYYY");
  host.SetFocus(&ctl.txtCodigo);
  ctl.txtCodigo.SetText("25/12/2001");
  host.SetFocus(&ctl.txtNombre);
  EXPECT_EQ(ctl.txtCodigo.Text(), "25/12/2001");
  ExpectDateMessages(1);
}

TEST_F(InputTest, EachBoxComparesWithTheTextItHadWhenEntered) {
  SetCode(1, "FEC");
  SetCode(2, "FEC");
  ctl.txtCodigo.SetText("01/01/2001");
  ctl.txtNombre.SetText("02/02/2002");
  host.SetFocus(&ctl.txtCodigo);
  ctl.txtCodigo.SetText("31/02/2001");
  host.SetFocus(&ctl.txtNombre);
  EXPECT_EQ(ctl.txtCodigo.Text(), "01/01/2001");
  ctl.txtNombre.SetText("32/01/2002");
  host.SetFocus(&ctl.txtcol3);
  EXPECT_EQ(ctl.txtNombre.Text(), "02/02/2002");
  ExpectDateMessages(2);
}

TEST_F(InputTest, ValidaFechaAnswersAndShowsItsMessage) {
  EXPECT_EQ(basFuncion::f_ValidaFecha(host, "25/12/2001"), Variant(true));
  EXPECT_EQ(basFuncion::f_ValidaFecha(host, "29/02/2001"), Variant(false));
  EXPECT_EQ(basFuncion::f_ValidaFecha(host, "25122001"), Variant(false));
  EXPECT_EQ(basFuncion::f_ValidaFecha(host, " 25/12/01 "), Variant(false));
  ExpectDateMessages(3);
}

}  // namespace
}  // namespace trovel
