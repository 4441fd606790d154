#include "ctltrovel/basFuncion.h"

#include "platform/DateTest.h"
#include "platform/Text.h"

namespace trovel::basFuncion {

Variant f_ValidaFecha(Host& host, const std::string& text) {
  auto refuse = [&host] {
    host.MsgBox("         Fecha no valida\r\nformato de fecha: dd.mm.aaaa", Host::kOkOnly | Host::kInformation,
                "Mensaje");
    return Variant(false);
  };
  if (Text::Length(Text::Trim(text, Text::Blanks::kSpaces)) == 8) return refuse();
  // Day, month and the last two digits of the year, from the untrimmed text.
  std::string dmy = Text::Mid(text, 1, 2) + "-" + Text::Mid(text, 4, 2) + "-" + Text::Mid(text, 9);
  if (DateTest::IsDate(dmy)) return Variant(true);
  return refuse();
}

bool IsDayFirstFormat(const std::string& format) { return Text::Upper(format) == "DD/MM/YYYY"; }

std::string SwapDayAndMonth(const std::string& text) { return DateTest::SwapDayAndMonth(text); }

}  // namespace trovel::basFuncion
