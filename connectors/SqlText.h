// SqlText: a statement as the controls wrote it, read the way SQL reads it and
// put into the form that one backend runs.
//
// The controls write month-first date literals between "#" (#12/25/2001#) and
// text filters with LIKE. Neither means the same to every database, so each
// connector passes the statement through here first. The reader knows
// '...' literals (a doubled quote stays inside), "...", [...] and `...`
// names, -- and /* */ comments, and on PostgreSQL E'...' literals with
// backslash escapes, $tag$...$tag$ literals and nested comments. Nothing
// inside any of them is ever touched. It reads each character once.
//
// Outside them:
//   #m/d/yyyy# (and #yyyy-mm-dd#) becomes 'yyyy-mm-dd' on SQLite, where dates
//       are stored as ISO text, and DATE 'yyyy-mm-dd' on PostgreSQL. A year of
//       one or two digits is read as the runtime reads it: below 30 is 20xx,
//       otherwise 19xx. A date that cannot exist (#2/30/2021#) is an error.
//   LIKE becomes ILIKE on PostgreSQL, so that text filters match without
//       regard to letter case as they do on SQLite; a pattern written as one
//       plain literal with no ESCAPE of its own gets ESCAPE '' after it,
//       because PostgreSQL's LIKE would otherwise take "\" as an escape and
//       SQLite's takes none.
//
// Thread-safety: a value type; distinct objects may be used from any thread.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace trovel {

struct SqlText {
  enum class Dialect { kSqlite, kPostgres };

  // Reads `sql` for `dialect`. Throws Error (Error::kDatabase) naming the
  // literal when a date literal is a date that cannot exist.
  static SqlText Read(std::string_view sql, Dialect dialect);

  // The whole input in the backend's form, every statement in it rewritten.
  std::string text;
  // Length of the first statement within `text`: up to its ";" or the end.
  size_t first_length = 0;
  // The first word of the first statement upper-cased ("SELECT", "WITH"),
  // opening parentheses skipped; "" when it holds no word.
  std::string first_word;
  // What follows the first statement's ";", from its first character that is
  // not a blank, a ";" or a comment; "" when nothing else follows.
  std::string rest;
  // Length within `text` of the first statement's head: the part before its
  // first WHERE that stands outside literals, names, comments and
  // parentheses; the whole first statement when it has none. Whatever a
  // search control appends to its base statement follows a WHERE, so the
  // head holds nothing a user typed.
  size_t head_length = 0;

  std::string_view first_statement() const { return std::string_view(text).substr(0, first_length); }
};

}  // namespace trovel
