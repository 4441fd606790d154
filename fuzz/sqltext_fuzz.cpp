// The statement reader of both connectors: date literals, quotes, names and
// comments. It reads any text in one pass without failing other than with
// Error, keeps its lengths and spans inside the text, and changes nothing
// but the #...# literals it rewrites.
#include <cstddef>
#include <cstdint>
#include <string>

#include "connectors/SqlText.h"
#include "fuzz/FuzzCheck.h"
#include "platform/Error.h"

using namespace trovel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string sql(reinterpret_cast<const char*>(data), size);
  for (SqlText::Dialect dialect : {SqlText::Dialect::kSqlite, SqlText::Dialect::kPostgres}) {
    SqlText text;
    try {
      text = SqlText::Read(sql, dialect);
    } catch (const Error&) {
      FUZZ_CHECK(sql.find('#') != std::string::npos);  // only an impossible date is refused
      continue;
    }
    FUZZ_CHECK(text.first_length <= text.text.size());
    FUZZ_CHECK(text.rest.size() <= text.text.size());
    for (const SqlText::Span& name : text.quoted_names) {
      FUZZ_CHECK(name.offset + name.length <= text.first_length);
      FUZZ_CHECK(text.text[name.offset] == '"');
    }
    if (sql.find('#') == std::string::npos) FUZZ_CHECK(text.text == sql);
  }
  return 0;
}
