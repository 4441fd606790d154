// OdbcDialect: what an ODBC connection writes differently for the server
// and driver behind it, learnt once from what the driver reports
// (SQLGetInfo: the DBMS name, the driver's library and version). Tested
// servers (MariaDB and MySQL through Connector/ODBC, PostgreSQL through
// psqlODBC) get their own date literals, case-blind LIKE, session settings
// and driver options; any other server gets standard SQL and the ODBC
// escapes, which its driver turns into the server's own form.
//
// Thread-safety: a value type; distinct objects may be used from any thread.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "connectors/SqlText.h"

namespace trovel {

class OdbcDialect {
 public:
  enum class Server { kMariaDb, kPostgres, kOther };

  OdbcDialect() = default;
  // From SQL_DBMS_NAME, SQL_DRIVER_NAME and SQL_DRIVER_VER.
  OdbcDialect(std::string_view dbms, std::string_view driver, std::string_view driver_version);

  Server server() const { return server_; }
  // "MariaDB", "PostgreSQL", or the DBMS name the driver gave.
  const std::string& name() const { return name_; }

  // Options the connection string gets for this driver, each "KEY=VALUE;",
  // "" when it needs none: what makes the driver stream rows, and types it
  // would otherwise report as text.
  std::string DriverOptions() const;

  // Whether a forward-only read streams through this driver: the rows come
  // from the server as they are fetched, not all stored on the client when
  // the statement runs.
  bool Streams() const;
  // Whether reads of a statement that allows it run in windows of rows
  // (OdbcWindow): on a driver that stores whole results and whose server
  // takes "(statement) LIMIT offset, count".
  bool ReadsInWindows() const;

  // Statements that set up each new session of a read: read-only
  // transactions, and how developer-written text is read.
  std::vector<std::string> ReadSession() const;
  // Statements that set up a session that runs set-up scripts: only how
  // text is read.
  std::vector<std::string> ScriptSession() const;

  SqlText::Dialect TextDialect() const;

  // A case-blind LIKE of `field` against the one parameter marker it
  // writes, with no escape character: "\" or "!" in a pattern stand for
  // themselves, as on every backend.
  std::string Like(const std::string& field) const;
  // The value bound to that marker for the pattern a user typed.
  std::string Pattern(const std::string& typed) const;

 private:
  Server server_ = Server::kOther;
  std::string name_ = "ODBC";
  std::string driver_;  // the driver's library, upper-cased
  int version_ = 0;     // the driver's version as MMmmpppp (03.01.0017 -> 3010017)
};

}  // namespace trovel
