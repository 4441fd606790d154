// PgConnection: a DataConnection over a PostgreSQL server, through libpq.
//
// Threading: a connection and the cursors it opened are used by one thread
// at a time. Distinct connections may be used from distinct threads.
//
// How a read runs. OpenCursor declares a server-side cursor
// (DECLARE ... NO SCROLL CURSOR) inside a READ ONLY transaction and fetches
// its rows in batches: a first small one that fills the controls' first block
// at once, larger ones afterwards. A result of a million rows is never read,
// sent or held beyond the batch in hand. Several controls may share one
// connection: each cursor has a name of its own, and the transaction ends
// when the last open cursor is closed or has given its last row. A savepoint
// taken after each declaration lets a statement that fails (a syntax error, a
// row that cannot be computed) be rolled back without closing another
// control's cursor, which pages on as before.
//
// One read-only statement by construction: a second statement after ";" or
// a statement that is not a query (SELECT, WITH, VALUES, TABLE) is refused
// before anything is sent; the statement goes to the server through the
// extended protocol, which runs one statement only, inside the read-only
// transaction, which refuses any write. The server's message is kept for
// LastErrorText. A read costs one round trip to its first block: BEGIN
// READ ONLY (with synchronized scans and parallel plans off for the
// transaction), the declaration, the savepoint and the first FETCH go out
// together in libpq's pipeline mode.
//
// Holding. With a host's timer (ConnectionSettings::defer), a session whose
// cursors nobody calls for ConnectionSettings::hold_time ends its
// transaction: no snapshot, lock or pooled server connection stays taken
// while a result sits on screen. Each cursor keeps the rows it has; when it
// needs more it declares itself again in a new transaction, in one round
// trip, with MOVE past the rows fetched before. Synchronized scans and
// parallel plans are off in every read's transaction so that the statement
// run again gives its rows in the same order.
//
// A control's read (the SearchStatement form of OpenCursor) binds what the
// user typed: a LIKE pattern as a parameter of ILIKE with no escape
// character (letter case ignored, as on SQLite), a date as a parameter read
// as a date, a number as the plain literal it was checked to be. What a
// read touches is what its developer wrote; the server still decides what a
// role may read: give the forms a role with SELECT on their tables only.
// Each read's transaction runs with statement_timeout at
// ConnectionSettings::read_time_limit (SET LOCAL, never for the session; the
// server's, role's or database's own limit where that is shorter); a
// statement past it, or one the host stops through read_progress (a cancel
// request), fails with the messages of ReadRefusal and the session reads on.
//
// One session, the same everywhere: standard_conforming_strings on, dates
// read month first (DateStyle 'ISO, MDY', so '12/25/2001' is 25 December
// 2001), this machine's time zone, UTF-8, and the application name
// "trovel" unless the address names another. A control upper-cases its
// base statement; a quoted name in it ("CUSTOMER") is given back the
// catalog's spelling ("Customer") when exactly one name matches it without
// regard to letter case among the relations on the session's search path,
// their columns and the schemas (one catalog query, the first time a base
// is read). Date literals of the forms'
// old platform in developer-written text, #m/d/yyyy#, become
// DATE 'yyyy-mm-dd' (SqlText).
//
// Values come back by column type: int2, int4 and int8 that fits as Long
// (int8 beyond it as Double), numeric and float8 as Double, float4 as Single,
// bool as Boolean, date, timestamp and timestamptz as Dates, everything else
// as String, NULL as Null. Field names are matched without regard to letter
// case.
//
// Failures. A server that stops or a connection that breaks ends the
// session. That gives a clear message on the next page, and the next read
// connects again on its own (libpq's several-host addresses with
// target_session_attrs go on with the next host). Passwords in the address
// are never part of a message.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "connectors/ConnectionSettings.h"
#include "contracts/DataConnection.h"

namespace trovel {

class PgConnection : public DataConnection {
 public:
  // Connects to `address`, a libpq URI or keyword string. Throws Error
  // (Error::kDatabase) when the address is not valid. A server that cannot
  // be reached is not an error yet: every read connects first when the
  // session is not connected, and fails with the reason while it cannot.
  explicit PgConnection(const std::string& address, const ConnectionSettings& settings = {});
  ~PgConnection() override;

  PgConnection(const PgConnection&) = delete;
  PgConnection& operator=(const PgConnection&) = delete;

  std::string LastErrorText() override;
  // Returns a cursor standing on the first row; the caller owns it, and it
  // may outlive this object. Throws Error.
  std::shared_ptr<DataCursor> OpenCursor(std::string& statement, bool& flag) override;
  std::shared_ptr<DataCursor> OpenCursor(const SearchStatement& statement, bool& flag) override;

  // Runs any SQL, several statements and writes included, in a session of
  // its own on `address`. For setting up data; the controls never use it.
  // Throws Error.
  static void Execute(const std::string& address, const std::string& sql);

  struct Session;

 private:
  // Whether the quoted names of a statement are taken as written, or as the
  // catalog spells them (a control's upper-cased base statement).
  enum class NameSpelling { kAsWritten, kCatalog };
  // `statement` in PostgreSQL's form (SqlText), refused unless it is one
  // query. Throws Error.
  std::string ReadQuery(std::string_view statement, NameSpelling spelling);
  // Declares a cursor on `sql` with `values` bound to $1, $2, ... and
  // returns it standing on its first row. Throws Error.
  std::shared_ptr<DataCursor> Open(const std::string& sql, const std::vector<std::string>& values);

  std::shared_ptr<Session> session_;
};

}  // namespace trovel
