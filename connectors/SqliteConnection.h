// SqliteConnection: a DataConnection over an SQLite 3 database (a file path
// or ":memory:").
//
// OpenCursor runs exactly one read-only statement: a second statement after
// ";" or a statement that would write is refused before anything runs. Date
// literals written by the controls, "#mm/dd/yyyy#", are rewritten to ISO text
// ('yyyy-mm-dd'), the form in which dates are stored, so they compare
// correctly; text inside quotes is never touched (SqlText). Columns declared DATE,
// DATETIME or TIMESTAMP that hold ISO-8601 text come back as Dates. LIKE
// ignores letter case in every script, and text columns may declare
// "collate es" to sort in Spanish order (SqliteTextRules).
//
// Every read is guarded (SqliteReadGuard): it may read only the tables and
// views its own base statement reads (plus ConnectionSettings::read_scope),
// and each call into the database stops past read_time_limit. The database
// refuses writes on this connection (query_only), whatever the statement;
// only Execute, which the controls never use, may write.
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

  // Runs any SQL, several statements and writes included. For setting up
  // data; not part of what the controls use. Throws Error.
  void Execute(const std::string& sql);

  struct Handle;

 private:
  [[noreturn]] void Fail(const std::string& what);

  std::shared_ptr<Handle> handle_;
  std::string last_error_;
};

}  // namespace trovel
