// The flex grid's FormatString and AddItem with any text: FormatString makes
// one column per "|" section (or refuses, changing nothing), and AddItem
// appends one row whose cells are the TAB-separated parts, as a plain split
// of the text gives them.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "platform/Error.h"
#include "platform/FlexGrid.h"

using namespace trovel;

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == separator) parts.emplace_back();
    else parts.back() += c;
  }
  return parts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  FlexGrid grid("grdDatos");
  const std::string format = in.ConsumeRandomLengthString(10000);
  const int cols_before = grid.Cols();
  try {
    grid.SetFormatString(format);
    FUZZ_CHECK(grid.Cols() == static_cast<int>(Split(format, '|').size()));
    FUZZ_CHECK(grid.FormatString() == format);
  } catch (const Error&) {
    FUZZ_CHECK(grid.Cols() == cols_before && Split(format, '|').size() > static_cast<size_t>(FlexGrid::kMaxCols));
  }
  while (in.remaining_bytes() > 0) {
    const std::string item = in.ConsumeRandomLengthString(2000);
    const int rows = grid.Rows();
    grid.AddItem(item);
    FUZZ_CHECK(grid.Rows() == rows + 1);
    std::vector<std::string> parts = Split(item, '\t');
    parts.resize(static_cast<size_t>(grid.Cols()));
    for (int c = 0; c < grid.Cols(); ++c) FUZZ_CHECK(grid.TextMatrix(rows, c) == parts[static_cast<size_t>(c)]);
  }
  return 0;
}
