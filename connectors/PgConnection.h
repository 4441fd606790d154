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
// LastErrorText.
//
// Guarded reads. Before a statement is declared, the server plans it and its
// head (SqlText::head_length, a control's base statement) without running
// either; the statement may scan only the relations its head scans, plus
// ConnectionSettings::read_scope, and call none of the functions that reach
// the server's files or other sessions (PgScope). Each session runs with
// statement_timeout at ConnectionSettings::read_time_limit; a statement past
// it, or one the host stops through read_progress (a cancel request), fails
// with the messages of ReadRefusal and the session reads on. The server is
// still the one to enforce what a role may read: give the forms a role with
// SELECT on their tables only.
//
// The statement is first put into PostgreSQL's form (SqlText): #m/d/yyyy#
// becomes DATE 'yyyy-mm-dd' and LIKE becomes ILIKE, so text filters ignore
// letter case as they do on SQLite. Each session reads dates month first
// (DateStyle 'ISO, MDY'), so a date written '12/25/2001' compares as
// 25 December 2001.
//
// Values come back by column type: int2, int4 and int8 that fits as Long
// (int8 beyond it as Double), numeric and float8 as Double, float4 as Single,
// bool as Boolean, date, timestamp and timestamptz as Dates, everything else
// as String, NULL as Null. Field names are matched without regard to letter
// case.
//
// Failures. A read left idle longer than ConnectionSettings allows is ended
// by the server; a server that stops or a connection that breaks ends the
// session too. Either gives a clear message on the next page, and the next
// read connects again on its own (libpq's several-host addresses with
// target_session_attrs go on with the next host). Passwords in the address
// are never part of a message.
#pragma once

#include <memory>
#include <string>

#include "connectors/ConnectionSettings.h"
#include "contracts/DataConnection.h"

namespace trovel {

class PgConnection : public DataConnection {
 public:
  // Connects to `address`, a libpq URI or keyword string. Throws Error
  // (Error::kDatabase) when the server cannot be reached.
  explicit PgConnection(const std::string& address, const ConnectionSettings& settings = {});
  ~PgConnection() override;

  PgConnection(const PgConnection&) = delete;
  PgConnection& operator=(const PgConnection&) = delete;

  std::string LastErrorText() override;
  // Returns a cursor standing on the first row; the caller owns it, and it
  // may outlive this object. Throws Error.
  std::shared_ptr<DataCursor> OpenCursor(std::string& statement, bool& flag) override;

  // Runs any SQL, several statements and writes included, in a session of
  // its own on `address`. For setting up data; the controls never use it.
  // Throws Error.
  static void Execute(const std::string& address, const std::string& sql);

  struct Session;

 private:
  std::shared_ptr<Session> session_;
};

}  // namespace trovel
