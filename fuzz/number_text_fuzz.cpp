// The runtime's plain conversion of a number to text: at most 15 significant
// digits for a Double and 7 for a Single, so that the text reads back as the
// same number to that precision; text that reads as a number converts back.
// Text that a Decimal takes keeps every digit. Inputs of 8 bytes are a
// Double, of 4 a Single, others a text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "platform/Error.h"
#include "platform/Variant.h"

using namespace trovel;

namespace {

void CheckRoundTrip(const Variant& value, double number, double precision) {
  const std::string text = value.ToString();
  FUZZ_CHECK(!text.empty() && text.size() <= 32);
  if (!std::isfinite(number)) return;
  double back = 0;
  try {
    back = Variant(text).ToDouble();
  } catch (const Error&) {
    // Every finite number's text reads back, but for the largest doubles,
    // which 15 digits round up past the largest there is.
    FUZZ_CHECK(std::fabs(number) > 1.79769313486231e308);
    return;
  }
  FUZZ_CHECK(std::fabs(back - number) <= precision * std::fabs(number) || std::fabs(number) < 1e-300);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == sizeof(double)) {
    double d;
    std::memcpy(&d, data, sizeof d);
    CheckRoundTrip(Variant(d), d, 1e-14);
  } else if (size == sizeof(float)) {
    float f;
    std::memcpy(&f, data, sizeof f);
    CheckRoundTrip(Variant(f), f, 1e-6);
  } else {
    // Any text: a number it reads as prints as some number again.
    const std::string text(reinterpret_cast<const char*>(data), size);
    // Text a Decimal takes prints with all its digits and reads back as
    // the same value, and converts to the Double the text itself reads as.
    if (const std::optional<Decimal> d = Decimal::Parse(text)) {
      const std::string shown = d->ToString();
      FUZZ_CHECK(!shown.empty() && shown.size() <= 31);
      FUZZ_CHECK(Decimal::Parse(shown) == d);
      FUZZ_CHECK(d->ToDouble() == Variant(text).ToDouble());
    }
    try {
      const double d = Variant(text).ToDouble();
      CheckRoundTrip(Variant(d), d, 1e-14);
    } catch (const Error&) {
    }
  }
  return 0;
}
