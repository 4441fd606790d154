// ctlTrovel's statement building and read, end to end on a real database:
// any texts in the four filter boxes, pasted or typed, with any type codes,
// date format and separator, give rows of the table or one message box,
// change no data, and leave the control able to read again.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "ctltrovel/TypeCode.h"
#include "ctltrovel/ctlTrovel.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzDatabase.h"
#include "platform/HeadlessHost.h"

using namespace trovel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static HeadlessHost host;
  static std::shared_ptr<SqliteConnection> db = MakeFuzzDatabase();
  static ctlTrovel ctl(host);
  static TextBox* boxes[] = {&ctl.txtCodigo, &ctl.txtNombre, &ctl.txtcol3, &ctl.txtcol4};
  static const std::string codes[] = {TypeCode::kText, TypeCode::kNumber, TypeCode::kDate};
  static const std::string fields[] = {"codigo", "nombre", "alta", "n"};
  static const bool configured = [] {
    ctl.SentenciaSQL("select codigo, nombre, alta, n from clientes");
    ctl.NumCol(4);
    ctl.OrderBy("codigo");
    for (int n = 1; n <= 4; ++n) ctl.SetProperty("N_Campo" + std::to_string(n), fields[n - 1]);
    ctl.glbDb(db);
    return true;
  }();
  (void)configured;

  FuzzedDataProvider in(data, size);
  for (int n = 1; n <= 4; ++n) ctl.SetProperty("TipoCampo" + std::to_string(n), codes[in.ConsumeIntegralInRange(0, 2)]);
  ctl.SetProperty("SeparaFecha", std::string(in.PickValueInArray({"#", "'", ""})));
  ctl.SetProperty("FormatoFecha", std::string(in.ConsumeBool() ? "dd/mm/yyyy" : "mm/dd/yyyy"));
  for (TextBox* box : boxes) box->SetText("");
  while (in.remaining_bytes() > 0) {
    TextBox& box = *boxes[in.ConsumeIntegralInRange(0, 3)];
    if (in.ConsumeBool()) {
      box.SetText(in.ConsumeRandomLengthString(300));  // a paste
    } else {
      host.SetFocus(&box);
      for (int16_t key : {in.ConsumeIntegral<int16_t>(), in.ConsumeIntegral<int16_t>()}) host.TypeKey(box, key);
    }
  }
  host.messages.clear();
  ctl.p_leer();
  FUZZ_CHECK(host.messages.size() <= 1);
  FUZZ_CHECK(ctl.grdDatos.Rows() <= 53);
  FUZZ_CHECK(RowsOf(*db, "clientes") == kFuzzRows);
  FUZZ_CHECK(ShowsOnlyRowsOfClientes(ctl.grdDatos));
  // Whatever happened, a read without filters finds the first row.
  for (TextBox* box : boxes) box->SetText("");
  host.messages.clear();
  ctl.p_leer();
  FUZZ_CHECK(host.messages.empty() && ctl.grdDatos.TextMatrix(1, 0) == "C001");
  return 0;
}
