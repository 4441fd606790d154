// ctlTrovel2: typing filters into the grid's filter row through the editor
// laid over the current cell, with keystroke filtering per column type and
// the completion and check of dates.
#include "ctltrovel2/ctlTrovel2.h"
#include "platform/DateTest.h"
#include "platform/HeaderTips.h"
#include "platform/Text.h"

namespace trovel {

void ctlTrovel2::grdDatos_KeyPress(int16_t& key_ascii) {
  if (bLeido_) {
    if (key_ascii == 13) cmdSeleccionar_Click();
    return;
  }
  // On a row read while typing, Enter picks it and a character goes on
  // with the filter row.
  if (typed_rows_ && grdDatos.Row() >= 2) {
    if (key_ascii == 13) return cmdSeleccionar_Click();
    grdDatos.SetRow(1);
  }
  key_ascii = f_FiltrarTecla(key_ascii);
  if (grdDatos.ColWidth(grdDatos.Col()) == 0) MoveToNextVisibleColumn();
  f_EditarCelda(key_ascii);
}

void ctlTrovel2::grdDatos_DblClick() {
  if (bLeido_ || (typed_rows_ && grdDatos.Row() >= 2))
    cmdSeleccionar_Click();
  else
    f_EditarCelda(32);
}

void ctlTrovel2::f_EditarCelda(int16_t key_ascii) {
  try {
    if (key_ascii >= 0 && key_ascii <= 32) {
      txtEdit.SetText(grdDatos.Text());
      txtEdit.SetSelStart(1000);
    } else {
      txtEdit.SetText(Text::FromCodepoint(static_cast<uint16_t>(key_ascii)));
      txtEdit.SetSelStart(1);
    }
    txtEdit.Move(grdDatos.Left() + grdDatos.CellLeft(), grdDatos.Top() + grdDatos.CellTop(), grdDatos.CellWidth(),
                 grdDatos.CellHeight());
    // The editor is named after the column whose filter it holds.
    txtEdit.SetToolTipText(HeaderTips::Caption(grdDatos, grdDatos.Col()));
    txtEdit.SetVisible(true);
    host_.SetFocus(&txtEdit);
  } catch (const std::exception& failure) {
    ShowMensaje(failure.what());
  }
}

int16_t ctlTrovel2::f_FiltrarTecla(int16_t k) {
  switch (ColumnOf(grdDatos.Col()).TypeData()) {
    case ctvTEXT:
      return UCaseFiltro_ ? static_cast<int16_t>(Text::UpperChar(static_cast<uint16_t>(k))) : k;
    case ctvNUMBER:
      return (k < 58 && (k > 47 || k < 32)) || k == 45 || k == 60 || k == 62 ? k : 0;
    case ctvDATE:
      return (k < 58 && (k >= 47 || k < 32)) || k == 60 || k == 62 ? k : 0;
  }
  return 0;
}

void ctlTrovel2::txtEdit_KeyDown(int16_t& key_code) {
  if (key_code == 13) {
    f_ValidarFecha();
    host_.SetFocus(&grdDatos);
    host_.DoEvents();
    MoveToNextVisibleColumn();
  } else if (key_code == 27) {
    txtEdit.SetVisible(false);
    host_.SetFocus(&grdDatos);
  }
}

void ctlTrovel2::txtEdit_KeyPress(int16_t& key_ascii) {
  if (key_ascii == 13)
    key_ascii = 0;  // no beep, no new line
  else
    key_ascii = f_FiltrarTecla(key_ascii);
}

void ctlTrovel2::MoveToNextVisibleColumn() {
  const int c0 = grdDatos.Col();
  int c = c0;
  do {
    c = c + 1;
    if (c > grdDatos.Cols() - 1) c = grdDatos.FixedCols();
  } while (c != c0 && grdDatos.ColWidth(c) == 0);
  grdDatos.SetCol(c);
}

void ctlTrovel2::Commit() {
  if (!txtEdit.Visible()) return;
  grdDatos.SetText(txtEdit.Text());
  txtEdit.SetVisible(false);
}

void ctlTrovel2::RefuseDate(const std::string& message) {
  ShowMensaje(message);
  txtEdit.SetText("");
}

void ctlTrovel2::f_ValidarFecha() {
  try {
    if (ColumnOf(grdDatos.Col()).TypeData() != ctvDATE || txtEdit.Text().empty()) return;
    const std::string t = txtEdit.Text();
    const size_t p = (t[0] == '<' || t[0] == '>') ? 1 : 0;
    const size_t length = Text::Length(t);
    if (length != p + 6 && length != p + 8 && length != p + 10) return RefuseDate("Fecha no valida, Ingrese ddmmyy");
    if (t.find('/') == std::string::npos)
      txtEdit.SetText(Text::Left(t, p + 2) + "/" + Text::Mid(t, p + 3, 2) + "/" + Text::Mid(t, p + 5));

    // Day, month and year, read afresh from the editor's current text.
    struct Parts {
      std::string day, month, year;
    };
    auto split = [this, p] {
      const std::string& text = txtEdit.Text();
      size_t first = text.find('/');
      size_t second = first == std::string::npos ? std::string::npos : text.find('/', first + 1);
      Parts parts;
      parts.day = text.substr(p, first == std::string::npos ? std::string::npos : first - p);
      if (first != std::string::npos)
        parts.month = text.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
      if (second != std::string::npos) {
        size_t third = text.find('/', second + 1);
        parts.year = text.substr(second + 1, third == std::string::npos ? std::string::npos : third - second - 1);
      }
      return parts;
    };
    Parts d = split();
    if (Text::Length(d.year) == 2) {
      const std::string century = Text::Val(d.year) > 80 ? "19" : "20";
      const std::string& text = txtEdit.Text();
      txtEdit.SetText(Text::Left(text, p + 6) + century + Text::Mid(text, p + 7));
      d = split();
    }
    const int month = static_cast<int>(Text::Val(d.month));
    if (month > 12 || month <= 0) return RefuseDate("Mes no valida, Ingrese ddmmyy");
    if (Text::Length(d.day) != 2) return RefuseDate("Dia no valida, Ingrese ddmmyy");
    if (Text::Length(d.month) != 2) return RefuseDate("Mes no valida, Ingrese ddmmyy");
    if (Text::Length(d.year) != 4) return RefuseDate("Año no valida, Ingrese ddmmyy");
    const int year = static_cast<int>(Text::Val(d.year));
    if (year < 0) return RefuseDate("Fecha no valida, Año menor que cero");
    const int days = DateTest::DaysInMonth(year, month, DateTest::LeapYears::kEveryFourth);
    const int day = static_cast<int>(Text::Val(d.day));
    if (day < 1 || day > days) return RefuseDate("Fecha no válido");
  } catch (const std::exception&) {
    // A failure inside the check leaves the editor's text as it is.
  }
}

}  // namespace trovel
