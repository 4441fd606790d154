// ctlTrovel's keystroke filters: whatever keys a user presses in whatever
// order, with the type code changing between them, a number box takes no
// letter, a date box nothing but digits and "/"-"9", and every box keeps
// valid UTF-8 within its MaxLength.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "ctltrovel/TypeCode.h"
#include "ctltrovel/ctlTrovel.h"
#include "fuzz/FuzzCheck.h"
#include "platform/HeadlessHost.h"
#include "platform/Text.h"

using namespace trovel;

namespace {

// Letters and other ASCII the filter refuses: bytes 0x20-0x7E outside [low, high].
bool HoldsOnly(const std::string& text, char low, char high) {
  for (unsigned char c : text)
    if (c >= 0x20 && c < 0x7F && (c < low || c > high)) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static HeadlessHost host;
  static ctlTrovel ctl(host);
  static TextBox* boxes[] = {&ctl.txtCodigo, &ctl.txtNombre, &ctl.txtcol3, &ctl.txtcol4};
  static const std::string codes[] = {TypeCode::kText, TypeCode::kNumber, TypeCode::kDate, "XYZ"};
  static const bool named = [] {  // the third and fourth boxes show once named
    ctl.SetProperty("N_Campo3", std::string("c3"));
    ctl.SetProperty("N_Campo4", std::string("c4"));
    return true;
  }();
  (void)named;
  FuzzedDataProvider in(data, size);
  std::string code[4];
  for (int n = 0; n < 4; ++n) {
    boxes[n]->SetText("");
    boxes[n]->SetMaxLength(in.ConsumeIntegralInRange(0, 12));
    code[n] = codes[in.ConsumeIntegralInRange(0, 3)];
    ctl.SetProperty("TipoCampo" + std::to_string(n + 1), code[n]);
  }
  ctl.SetProperty("FormatoFecha", in.ConsumeBool() ? "dd/mm/yyyy" : "mm/dd/yyyy");
  int box = 0;
  host.SetFocus(boxes[box]);
  while (in.remaining_bytes() >= 2) {
    if (in.ConsumeIntegralInRange(0, 15) == 0) {
      box = in.ConsumeIntegralInRange(0, 3);
      host.SetFocus(boxes[box]);
      continue;
    }
    host.TypeKey(*boxes[box], in.ConsumeIntegral<int16_t>());
  }
  host.SetFocus(&ctl.cmdLeer);  // leaving the box runs its date check
  host.messages.clear();
  for (int n = 0; n < 4; ++n) {
    const std::string& text = boxes[n]->Text();
    FUZZ_CHECK(Text::IsUtf8(text));
    FUZZ_CHECK(boxes[n]->MaxLength() == 0 || static_cast<int>(Text::Length(text)) <= boxes[n]->MaxLength());
    if (code[n] == TypeCode::kNumber) FUZZ_CHECK(HoldsOnly(text, '0', '9'));
    if (code[n] == TypeCode::kDate) FUZZ_CHECK(HoldsOnly(text, '/', '9'));
  }
  return 0;
}
