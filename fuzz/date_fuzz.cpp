// The date rules a user's typing meets: the host's date test, the runtime's
// reading of a text as a date, and ctlTrovel's check of a typed date, which
// answers false exactly when it has shown its message box.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ctltrovel/basFuncion.h"
#include "fuzz/FuzzCheck.h"
#include "platform/DateTest.h"
#include "platform/Error.h"
#include "platform/HeadlessHost.h"
#include "platform/Variant.h"

using namespace trovel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const bool is_date = DateTest::IsDate(text);
  try {
    const DateTime d = Variant(text).ToDate();
    FUZZ_CHECK(d.month >= 1 && d.month <= 12 && d.day >= 1 && d.day <= DateTest::DaysInMonth(d.year, d.month));
  } catch (const Error&) {
    // A text that the host calls a date is one the runtime reads as a date.
    FUZZ_CHECK(!is_date);
  }
  static HeadlessHost host;
  host.messages.clear();
  const bool valid = basFuncion::f_ValidaFecha(host, text).ToBoolean();
  FUZZ_CHECK(host.messages.size() == (valid ? 0u : 1u));
  const std::string swapped = basFuncion::SwapDayAndMonth(text);
  FUZZ_CHECK(swapped.size() <= text.size() + 2);
  return 0;
}
