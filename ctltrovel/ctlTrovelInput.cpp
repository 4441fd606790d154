// ctlTrovel: the filter boxes: keystrokes filtered by the column's type,
// Enter moving the focus on, and the date check on leaving a date box.
#include "ctltrovel/basFuncion.h"
#include "ctltrovel/ctlTrovel.h"
#include "ctltrovel/TypeCode.h"
#include "platform/Text.h"

namespace trovel {

void ctlTrovel::ConnectFilterBox(int n) {
  TextBox& box = Box(n);
  box.onGotFocus = [this, &box] { TextoAnterior_ = box.Text(); };
  box.onKeyPress = [this, n](int16_t& key_ascii) { FilterKeyPress(n, key_ascii); };
  // A character beyond U+FFFF has no key code and never reaches the key
  // handler; it gets the same rules: a text column takes it upper-cased,
  // number and date columns refuse it like any letter.
  box.onWideCharacter = [this, n](int32_t& codepoint) {
    const std::string& code = TipoCampo_[n - 1];
    if (code == TypeCode::kText) codepoint = Text::UpperChar(codepoint);
    else if (code == TypeCode::kNumber || code == TypeCode::kDate) codepoint = 0;
  };
  box.onLostFocus = [this, n] { FilterLostFocus(n); };
  box.onChange = [this] { typing_.FilterChanged(); };
}

void ctlTrovel::FilterKeyPress(int n, int16_t& key_ascii) {
  // The type is read afresh, so a change of type applies to the next key.
  const std::string& code = TipoCampo_[n - 1];
  const int key = key_ascii;  // signed: a negative code counts as below 32
  if (code == TypeCode::kText) {
    key_ascii = static_cast<int16_t>(Text::UpperChar(static_cast<uint16_t>(key_ascii)));
  } else if (code == TypeCode::kNumber) {
    if (!(key < 32 || (key >= '0' && key <= '9'))) key_ascii = 0;
  } else if (code == TypeCode::kDate) {
    if (!(key < 32 || (key >= '/' && key <= '9'))) key_ascii = 0;
  }
  // Enter stays 13; the host moves the focus on before the key completes.
  if (key_ascii == 13) host_.SendTab();
}

void ctlTrovel::FilterLostFocus(int n) {
  TextBox& box = Box(n);
  if (box.Text().empty()) return;
  if (TipoCampo_[n - 1] != TypeCode::kDate) return;
  if (box.Text() == TextoAnterior_) return;
  // The check wants the date day first; a month-first entry is swapped.
  std::string day_first =
      basFuncion::IsDayFirstFormat(FormatoFecha_) ? box.Text() : basFuncion::SwapDayAndMonth(box.Text());
  if (!basFuncion::f_ValidaFecha(host_, day_first).ToBoolean()) box.SetText(TextoAnterior_);
}

}  // namespace trovel
