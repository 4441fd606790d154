// OdbcConnection: a DataConnection over any database an ODBC driver
// reaches (MariaDB and MySQL, PostgreSQL, SQL Server, Access files...),
// through unixODBC's wide-character API: text goes both ways as UTF-16,
// whatever the client's locale.
//
// Threading: a connection and the cursors it opened are used by one thread
// at a time (the host's). Each blocking call runs on a helper thread of the
// session meanwhile (OdbcWait), so that the host is asked whether to stop.
//
// How a read runs. Each read is one statement (a second one after ";" or
// one that is not a query is refused before anything is sent), prepared
// with the user's values bound as parameters and run on a forward-only,
// read-only statement; its rows come in arrays (block cursors): 52 at
// first, the controls' first block and the row that tells that more
// remain, then 256 at a time. Text columns longer than 1,024 characters
// (TEXT, CLOB) are read a row at a time with SQLGetData, whole. Drivers
// that can stream are asked to (OdbcDialect::DriverOptions); a driver that
// cannot stores the whole result on the client when the statement runs. On
// MariaDB's such drivers a statement that allows it runs in windows of
// rows instead (OdbcWindow), each a statement of its own.
//
// Sessions. A connection keeps a few driver connections: an open cursor
// has one of its own (a streaming driver runs nothing else on it until its
// rows are read), which goes back to the idle ones when its rows are all
// read, the cursor is closed, or nobody pages on for the hold time. Every
// session is read-only (the connection's access mode, and on MariaDB and
// PostgreSQL every transaction read-only), and on MariaDB reads SQL as the
// standard writes it (ANSI_QUOTES, PIPES_AS_CONCAT, NO_BACKSLASH_ESCAPES).
//
// Holding. With a host's timer (ConnectionSettings::defer) a cursor that
// nobody calls for ConnectionSettings::hold_time closes its statement and
// gives its driver connection back: no lock, snapshot or server cursor
// stays taken while a result sits on screen. The next page press runs the
// statement again with the same values and skips the rows read before.
//
// Time limit. Each statement has the query timeout of read_time_limit
// (SQL_ATTR_QUERY_TIMEOUT, whole seconds rounded up); a read the host stops
// through read_progress, or one past the limit that the driver did not end,
// is cancelled (SQLCancel). Both end with the messages of ReadRefusal.
//
// A control's read binds what the user typed: a LIKE pattern as a text
// parameter of a case-blind LIKE in the server's dialect, a date as a date
// parameter, a number as the plain literal it was checked to be.
//
// Values by SQL type: integers as Long when they fit 32 bits and as exact
// Decimal otherwise; DECIMAL and NUMERIC as exact Decimal (up to 28
// digits, the text beyond); REAL as Single, FLOAT and DOUBLE as Double;
// BIT as Boolean; DATE and TIMESTAMP as Dates; everything else as String;
// NULL as Null. Field names are matched without regard to letter case.
//
// Failures. A driver connection that is lost (the server stopped, the
// network broke) fails the read in hand with a clear message and is
// dropped; the next read connects again by itself, and a read whose idle
// connection went away meanwhile connects again before it runs. A server
// that cannot be reached when the connection is made is no error yet: each
// read connects first, and says why while it cannot. Passwords in the
// address never appear in a message.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "connectors/ConnectionSettings.h"
#include "contracts/DataConnection.h"

namespace trovel {

class OdbcConnection : public DataConnection {
 public:
  // Connects through the driver manager to `address` (odbc:CONNECTION
  // STRING, or odbc:DSN). Throws Error (Error::kDatabase) when the address
  // is not valid; a server that cannot be reached is tried again by each
  // read.
  explicit OdbcConnection(const std::string& address, const ConnectionSettings& settings = {});
  ~OdbcConnection() override;

  OdbcConnection(const OdbcConnection&) = delete;
  OdbcConnection& operator=(const OdbcConnection&) = delete;

  std::string LastErrorText() override;
  // Returns a cursor standing on the first row; the caller owns it, and it
  // may outlive this object. Throws Error.
  std::shared_ptr<DataCursor> OpenCursor(std::string& statement, bool& flag) override;
  std::shared_ptr<DataCursor> OpenCursor(const SearchStatement& statement, bool& flag) override;

  // The server behind the connection as its driver names it ("MariaDB",
  // "PostgreSQL", ...); connects first when it must. Throws Error.
  std::string ServerName();
  // Whether forward-only reads stream through this connection's driver.
  // Throws Error.
  bool Streams();

  // Runs any SQL, several statements and writes included, in a session of
  // its own on `address`. For setting up data; the controls never use it.
  // Throws Error.
  static void Execute(const std::string& address, const std::string& sql);

  struct Session;

 private:
  std::shared_ptr<DataCursor> Open(std::string_view text, const SearchStatement* statement);

  std::shared_ptr<Session> session_;
};

}  // namespace trovel
