// OdbcWindow: how a read shows the first block of a large result at once
// through a driver that stores every result whole on the client when the
// statement runs (MariaDB's Connector/ODBC before 3.1.17, which has no
// option that streams). The statement runs in windows, each one a
// statement of its own, "(statement) LIMIT offset, count": the first
// block's 52 rows, then windows of 256 rows that grow with the rows read,
// up to 16,384, so that the server skips few rows in all and the client
// holds one window at most.
//
// Only a statement whose rows come in the same order in every window runs
// in windows: a SELECT without ORDER BY, LIMIT, OFFSET, FETCH, INTO, FOR
// (UPDATE, SHARE) or LOCK of its own outside parentheses. A sort's ties are
// what rules ORDER BY out: MariaDB orders rows with equal keys differently
// in a top-N sort and in a whole sort, so between two windows such a row
// could show twice or never. Every other statement runs whole.
//
// Thread-safety: only static functions; safe from any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace trovel {

class OdbcWindow {
 public:
  OdbcWindow() = delete;

  // Whether `sql`, a MariaDB statement as the server reads it (ANSI_QUOTES,
  // NO_BACKSLASH_ESCAPES), runs in windows.
  static bool Fits(std::string_view sql);

  // The rows of the window that starts after `read` rows, the first block
  // counted: kFirst rows first, then a multiple of `batch` rows.
  // REQUIRES: batch > 0.
  static uint64_t Size(uint64_t read, uint64_t first, uint64_t batch);

  // `sql` limited to `count` rows after `offset`; the statement stands on
  // lines of its own, so that a comment at its end ends there.
  static std::string Text(std::string_view sql, uint64_t offset, uint64_t count);
};

}  // namespace trovel
