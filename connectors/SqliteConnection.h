// SqliteConnection: a DataConnection over an SQLite 3 database (a file path
// or ":memory:").
//
// A control's read (the SearchStatement form of OpenCursor) runs its base
// statement with each filter as a condition whose value is a bound
// parameter: a LIKE pattern as text, a date as the day it names (compared
// through julianday, so that a stored time of day compares as a date
// comparison would), a number as the plain literal it was checked to be.
// The text form runs SQL that a host wrote. Either runs exactly one
// statement that reads: a second statement after ";" or a statement that
// would write is refused before anything runs. Date literals of the forms'
// old platform in developer-written text, "#mm/dd/yyyy#", become ISO text
// ('yyyy-mm-dd'), the form in which dates are stored (SqlText).
//
// Columns declared DATE, DATETIME or TIMESTAMP that hold ISO-8601 text come
// back as Dates. LIKE ignores letter case in every script, and text columns
// may declare "collate es" to sort in Spanish order (SqliteTextRules).
//
// Defence in depth (SqliteReadGuard): the database refuses writes on this
// connection (query_only), the authorizer refuses what a search never does
// (ATTACH, PRAGMA, transactions, the schema tables, load_extension), and each
// call into the database stops past read_time_limit. Only Execute, which the
// controls never use, may write.
//
// Holding. An open statement keeps its read transaction, and in a rollback
// journal its shared lock on the file, which stops every writer. With a
// host's timer (ConnectionSettings::defer) a cursor nobody calls for
// ConnectionSettings::hold_time resets its statement; the next call runs it
// again, its values still bound, and steps past the rows read before.
//
// Cursors share ownership of the database handle, so a cursor may outlive the
// connection object that opened it.
//
// Thread-safety: a connection and its cursors are used by one thread at a
// time, the host's. The handle is opened without SQLite's own mutex
// (SQLITE_OPEN_NOMUTEX), which would otherwise be taken at every column
// read of every row.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "connectors/ConnectionSettings.h"
#include "contracts/DataConnection.h"

namespace trovel {

class SqliteConnection : public DataConnection {
 public:
  // Opens (creating if missing) the database at `path`. Throws Error.
  explicit SqliteConnection(const std::string& path, const ConnectionSettings& settings = {});
  ~SqliteConnection() override;

  std::string LastErrorText() override { return last_error_; }
  std::shared_ptr<DataCursor> OpenCursor(std::string& statement, bool& flag) override;
  std::shared_ptr<DataCursor> OpenCursor(const SearchStatement& statement, bool& flag) override;

  // Runs any SQL, several statements and writes included. For setting up
  // data; not part of what the controls use. Throws Error.
  void Execute(const std::string& sql);

  struct Handle;

 private:
  [[noreturn]] void Fail(const std::string& what);
  // `sql` in SQLite's form (SqlText), refused unless it is one statement.
  std::string ReadText(std::string_view sql);
  // Prepares `sql` as a read with `values` bound to its parameters, in
  // order, and returns a cursor on its first row.
  std::shared_ptr<DataCursor> Open(const std::string& sql, const std::vector<std::string>& values);

  std::shared_ptr<Handle> handle_;
  std::string last_error_;
};

}  // namespace trovel
