// SqlText: SQL that a developer wrote (a control's base statement, a host's
// own statement), read the way SQL reads it and put into the form that one
// backend runs. What a user types never passes through here: it reaches the
// connection as bound values (SearchStatement).
//
// The reader knows '...' literals (a doubled quote stays inside), "...",
// [...] and `...` names, -- and /* */ comments, and on PostgreSQL E'...'
// literals with backslash escapes, $tag$...$tag$ literals and nested
// comments. Nothing inside any of them is ever touched. It reads each
// character once.
//
// Outside them, a date literal of the forms' old platform, #m/d/yyyy# (or
// #yyyy-mm-dd#), becomes 'yyyy-mm-dd' on SQLite, where dates are stored as
// ISO text, DATE 'yyyy-mm-dd' on PostgreSQL and MariaDB, and the ODBC
// escape {d 'yyyy-mm-dd'} for any other ODBC driver, which rewrites it in
// its server's own form. On MariaDB any other "#" starts a comment to the
// end of the line, as the server reads it. A year of one or two digits
// is read as the runtime reads it: below 30 is 20xx, otherwise 19xx. A date
// that cannot exist (#2/30/2021#) is an error.
//
// Thread-safety: a value type; distinct objects may be used from any thread.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace trovel {

struct SqlText {
  enum class Dialect { kSqlite, kPostgres, kMariaDb, kOdbc };

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
  // Where the "..." names of the first statement stand in `text`, quotes
  // included.
  struct Span {
    size_t offset = 0;
    size_t length = 0;
  };
  std::vector<Span> quoted_names;

  // The name inside a "..." name: the quotes taken off, a doubled quote
  // read as one. REQUIRES: `quoted` starts and ends with '"'.
  static std::string Unquoted(std::string_view quoted);

  std::string_view first_statement() const { return std::string_view(text).substr(0, first_length); }
};

}  // namespace trovel
