// ctlTrovel2's filter row end to end on a real database: keys typed into the
// editor of text, number and date columns (the date completion runs on
// Enter), and text pasted into the cells, give rows of the table or one
// message box, change no data, and leave the control able to read again.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "ctltrovel2/ctlTrovel2.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzDatabase.h"
#include "platform/HeadlessHost.h"
#include "platform/MemoryPropertyBag.h"

using namespace trovel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static HeadlessHost host;
  static std::shared_ptr<SqliteConnection> db = MakeFuzzDatabase();
  static ctlTrovel2 ctl(host);
  static const bool configured = [] {
    MemoryPropertyBag bag;
    ctl.ReadProperties(bag);
    ctl.Columns()->Add("0", "codigo", "clientes", ctvTEXT, "Código", 6);
    ctl.Columns()->Add("1", "nombre", "clientes", ctvTEXT, "Nombre", 20);
    ctl.Columns()->Add("2", "alta", "clientes", ctvDATE, "Alta", 10);
    ctl.Columns()->Add("3", "n", "clientes", ctvNUMBER, "N", 5);
    ctl.SentenciaSQL("select codigo, nombre, alta, n from clientes");
    ctl.OrderBy("codigo");
    ctl.glbDb(db);
    return true;
  }();
  (void)configured;

  FuzzedDataProvider in(data, size);
  if (ctl.Leido()) ctl.p_leer();  // back to the filter row
  ctl.SeparaFecha(std::string(in.PickValueInArray({"#", "'", ""})));
  ctl.FormatoFecha(std::string(in.ConsumeBool() ? "dd/mm/yyyy" : "mm/dd/yyyy"));
  for (int c = 0; c < 4; ++c) ctl.grdDatos.SetTextMatrix(1, c, "");
  host.SetFocus(&ctl.grdDatos);
  while (in.remaining_bytes() > 0) {
    const int col = in.ConsumeIntegralInRange(0, 3);
    if (in.ConsumeIntegralInRange(0, 3) == 0) {
      ctl.grdDatos.SetTextMatrix(1, col, in.ConsumeRandomLengthString(300));  // a paste
      continue;
    }
    host.SetFocus(&ctl.grdDatos);
    ctl.grdDatos.SetCol(col);
    const int keys = in.ConsumeIntegralInRange(1, 12);
    for (int k = 0; k < keys && in.remaining_bytes() >= 2; ++k) {
      int16_t key = in.ConsumeIntegral<int16_t>();
      if (key % 7 == 0) key = 13;  // Enter completes and checks a date
      if (Widget* focused = host.FocusedWidget()) host.TypeKey(*focused, key);
    }
  }
  host.messages.clear();
  // The read button takes the focus first, as a click gives it: the cell
  // editor hands its text to the filter row before the read, not to the
  // first result row after it.
  host.SetFocus(&ctl.cmdLeer);
  const bool messages_before = !host.messages.empty();  // a date the editor refused
  ctl.p_leer();
  FUZZ_CHECK(host.messages.size() <= (messages_before ? 2u : 1u));
  FUZZ_CHECK(ctl.grdDatos.Rows() <= 53);
  FUZZ_CHECK(RowsOf(*db, "clientes") == kFuzzRows);
  FUZZ_CHECK(ShowsOnlyRowsOfClientes(ctl.grdDatos));
  // Whatever happened, a read without filters finds the first row.
  if (ctl.Leido()) ctl.p_leer();
  for (int c = 0; c < 4; ++c) ctl.grdDatos.SetTextMatrix(1, c, "");
  host.messages.clear();
  ctl.p_leer();
  FUZZ_CHECK(host.messages.empty() && ctl.grdDatos.TextMatrix(1, 0) == "C001");
  return 0;
}
