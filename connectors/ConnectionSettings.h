// ConnectionSettings: how a connection behaves beyond its address. Every
// backend reads the settings it has a use for and ignores the others.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace trovel {

struct ConnectionSettings {
  // How long a read may keep its transaction open with nobody paging on
  // before the server ends the session. An open cursor on a server holds a
  // transaction, and a form left open must not hold the server's clean-up
  // back for ever; past the limit the next page gives a clear message and the
  // next read connects again. Zero or less leaves the server's own setting.
  std::chrono::milliseconds idle_transaction_limit = std::chrono::minutes(5);

  // Whether a database file that does not exist is made, empty. A host that
  // opens the database a user named turns this off, so that a mistyped path
  // gives a message instead of an empty database that finds nothing.
  bool create_missing_file = true;

  // How long one call into the database for a read (opening it, or moving
  // to a next row) may run. Past it the read stops with the message of
  // ReadRefusal::TimedOut and the cursor can only be closed; the connection
  // goes on working. Zero or less means no limit.
  std::chrono::milliseconds read_time_limit = std::chrono::seconds(30);

  // Called now and then (about every 20 ms) while a read runs, with the time
  // it has run so far. Returning true stops the read with the message of
  // ReadRefusal::Stopped. A host uses it to show that it is busy and to let
  // the user stop a slow read; it must not call back into the connection.
  std::function<bool(std::chrono::milliseconds)> read_progress;
};

}  // namespace trovel
