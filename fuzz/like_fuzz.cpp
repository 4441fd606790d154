// The case-blind LIKE that every SQLite connection installs: any pattern,
// text and escape, valid UTF-8 or not. The same answer called directly and
// through SQL; "%" matches every text; a pattern without wildcards or escape
// matches itself and its upper-case form.
#include <fuzzer/FuzzedDataProvider.h>
#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "connectors/CaseBlindLike.h"
#include "connectors/SqliteTextRules.h"
#include "fuzz/FuzzCheck.h"
#include "platform/Text.h"

using namespace trovel;

namespace {

sqlite3* Database() {
  static sqlite3* db = [] {
    sqlite3* d = nullptr;
    sqlite3_open(":memory:", &d);
    SqliteTextRules::Install(d);
    return d;
  }();
  return db;
}

// What SQL's `text LIKE pattern [ESCAPE escape]` answers: 1, 0, or -1 for an error.
int ThroughSql(const std::string& pattern, const std::string& text, const std::string& escape) {
  const char* sql = escape.empty() ? "select ?2 like ?1" : "select ?2 like ?1 escape ?3";
  sqlite3_stmt* stmt = nullptr;
  FUZZ_CHECK(sqlite3_prepare_v2(Database(), sql, -1, &stmt, nullptr) == SQLITE_OK);
  sqlite3_bind_text(stmt, 1, pattern.data(), static_cast<int>(pattern.size()), SQLITE_TRANSIENT);
  sqlite3_bind_text(stmt, 2, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  if (!escape.empty()) sqlite3_bind_text(stmt, 3, escape.data(), static_cast<int>(escape.size()), SQLITE_TRANSIENT);
  int answer = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : -1;
  sqlite3_finalize(stmt);
  return answer;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string escape = in.ConsumeBool() ? in.ConsumeRandomLengthString(4) : "";
  const std::string pattern = in.ConsumeRandomLengthString(200);
  const std::string text = in.ConsumeRemainingBytesAsString();
  const bool usable_escape = escape.empty() || CaseBlindLike::IsOneCharacter(escape);
  if (usable_escape) {
    const bool direct = CaseBlindLike::Matches(pattern, text, escape);
    if (pattern.find('\0') == std::string::npos && text.find('\0') == std::string::npos)
      FUZZ_CHECK(ThroughSql(pattern, text, escape) == (direct ? 1 : 0));
  }
  FUZZ_CHECK(CaseBlindLike::Matches("%", text));
  if (text.find_first_of("%_") == std::string::npos) {
    FUZZ_CHECK(CaseBlindLike::Matches(text, text));
    if (Text::IsUtf8(text)) FUZZ_CHECK(CaseBlindLike::Matches(text, Text::Upper(text)));
  }
  return 0;
}
