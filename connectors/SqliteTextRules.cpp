// SqliteTextRules: the SQL functions and the collation behind it.
#include "connectors/SqliteTextRules.h"

#include <sqlite3.h>
#include <unicode/ucol.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "connectors/CaseBlindLike.h"
#include "platform/Error.h"

namespace trovel {
namespace {

// The text of an argument, or no text for NULL.
const char* TextOf(sqlite3_value* value, size_t& size) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
  // The conversion to text is what sets the length, so this call comes second.
  size = static_cast<size_t>(sqlite3_value_bytes(value));
  return text;
}

// like(pattern, text[, escape]). The checks and their order are those of
// SQLite's built-in function, so swapping it out changes only which letters
// count as the same. It runs once per row: hence no allocation, and as few
// calls into SQLite as will do.
void Like(sqlite3_context* context, int argc, sqlite3_value** argv) {
  size_t pattern_size = 0;
  const char* pattern = TextOf(argv[0], pattern_size);
  const int limit = sqlite3_limit(sqlite3_context_db_handle(context), SQLITE_LIMIT_LIKE_PATTERN_LENGTH, -1);
  if (pattern_size > static_cast<size_t>(limit)) {
    sqlite3_result_error(context, "LIKE or GLOB pattern too complex", -1);
    return;
  }
  std::string_view escape;
  if (argc == 3) {
    size_t escape_size = 0;
    const char* text = TextOf(argv[2], escape_size);
    if (!text) return;  // the result stays NULL
    escape = std::string_view(text, escape_size);
    if (!CaseBlindLike::IsOneCharacter(escape)) {
      sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
      return;
    }
  }
  size_t text_size = 0;
  const char* text = TextOf(argv[1], text_size);
  if (!pattern || !text) return;
  sqlite3_result_int(context, CaseBlindLike::Matches(std::string_view(pattern, pattern_size),
                                                     std::string_view(text, text_size), escape));
}

// Texts the collator finds equal still differ when their bytes do (say,
// differently composed accents): the bytes then decide, so the order stays
// total and distinct keys are never taken for one.
int CompareSpanish(void* collator, int length1, const void* text1, int length2, const void* text2) {
  UErrorCode status = U_ZERO_ERROR;
  const UCollationResult order =
      ucol_strcollUTF8(static_cast<UCollator*>(collator), static_cast<const char*>(text1), length1,
                       static_cast<const char*>(text2), length2, &status);
  if (U_SUCCESS(status) && order != UCOL_EQUAL) return order == UCOL_LESS ? -1 : 1;
  const int bytes = std::memcmp(text1, text2, static_cast<size_t>(std::min(length1, length2)));
  if (bytes != 0) return bytes;
  return length1 < length2 ? -1 : length1 > length2 ? 1 : 0;
}

void CloseCollator(void* collator) { ucol_close(static_cast<UCollator*>(collator)); }

[[noreturn]] void Refused(sqlite3* db, const char* what) {
  throw Error(Error::kDatabase, std::string("No se pudo instalar ") + what + ": " + sqlite3_errmsg(db));
}

}  // namespace

void SqliteTextRules::Install(sqlite3* db) {
  for (int arguments : {2, 3}) {
    if (sqlite3_create_function(db, "like", arguments, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, Like, nullptr,
                                nullptr) != SQLITE_OK)
      Refused(db, "la función like");
  }
  UErrorCode status = U_ZERO_ERROR;
  UCollator* collator = ucol_open("es", &status);
  if (U_FAILURE(status)) {
    ucol_close(collator);
    throw Error(Error::kDatabase, std::string("No se pudo abrir el cotejo español de ICU: ") + u_errorName(status));
  }
  // SQLite calls the destructor only once the collation is in place.
  if (sqlite3_create_collation_v2(db, kCollation, SQLITE_UTF8, collator, CompareSpanish, CloseCollator) !=
      SQLITE_OK) {
    ucol_close(collator);
    Refused(db, "el cotejo es");
  }
}

}  // namespace trovel
