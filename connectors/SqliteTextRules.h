// SqliteTextRules: how an SQLite connection compares text for the search
// controls.
//
// SQLite's own LIKE ignores letter case for ASCII letters only, so a filter
// box, which upper-cases what is typed, would never find "García" with
// "GARCÍA%". Install replaces it with CaseBlindLike, and adds the collation
// "es" (ICU's Spanish rules: an accented vowel next to its plain one, Ñ after
// N) so that a column declared "nombre text collate es" sorts names where a
// Spanish reader looks for them.
//
// Thread safety: Install must not run while another thread uses `db`; the
// functions it installs are then safe wherever SQLite calls them.
#pragma once

struct sqlite3;

namespace trovel {

class SqliteTextRules {
 public:
  SqliteTextRules() = delete;

  // The collation that text columns declare.
  static constexpr const char* kCollation = "es";

  // Installs like(pattern, text), like(pattern, text, escape) and the
  // collation kCollation on `db`. The collator belongs to `db` from then on
  // and is closed with it. Throws Error when ICU cannot supply the collator
  // or SQLite refuses a registration.
  // REQUIRES: `db` is open.
  static void Install(sqlite3* db);
};

}  // namespace trovel
