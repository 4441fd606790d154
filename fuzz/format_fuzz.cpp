// Format of dates, numbers (Decimals too) and text by any picture: it returns text or
// throws Error, and nothing else, whatever the picture holds.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "platform/Error.h"
#include "platform/Format.h"
#include "platform/Variant.h"

using namespace trovel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  Variant value;
  switch (in.ConsumeIntegralInRange(0, 6)) {
    case 0: value = Variant(in.ConsumeFloatingPoint<double>()); break;
    case 1: value = Variant(in.ConsumeFloatingPoint<float>()); break;
    case 2: value = Variant(in.ConsumeIntegral<int32_t>()); break;
    case 3:
      value = Variant(DateTime{in.ConsumeIntegralInRange(100, 9999), in.ConsumeIntegralInRange(1, 12),
                               in.ConsumeIntegralInRange(1, 28), in.ConsumeIntegralInRange(0, 23),
                               in.ConsumeIntegralInRange(0, 59), in.ConsumeIntegralInRange(0, 59)});
      break;
    case 4: value = Variant(Variant::Null); break;
    case 5: {
      // Any Decimal that text gives, or a whole number of 64 bits.
      const std::optional<Decimal> d = Decimal::Parse(in.ConsumeRandomLengthString(40));
      value = d ? Variant(*d) : Variant(Decimal(in.ConsumeIntegral<int64_t>()));
      break;
    }
    default: value = Variant(in.ConsumeRandomLengthString(40)); break;
  }
  const std::string picture = in.ConsumeRemainingBytesAsString();
  try {
    const std::string text = Format(value, picture);
    // Each picture character gives a bounded amount of text.
    FUZZ_CHECK(text.size() <= 64 * (picture.size() + 1) + 400);
  } catch (const Error&) {
  }
  return 0;
}
