// ConnectionSettings: how a connection behaves beyond its address. Every
// backend reads the settings it has a use for and ignores the others.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace trovel {

struct ConnectionSettings {
  // How long a read keeps what it holds in the database (SQLite's lock on
  // the file, PostgreSQL's transaction with its snapshot and locks) once
  // nobody pages on. A result stays on screen for as long as the user
  // likes, and other programs must not wait for it: past the hold time the
  // connection lets go, and the next page press runs the statement again,
  // with the same values, and goes on after the rows already read. Paging
  // without pauses keeps the one cursor. Used only with `defer`.
  std::chrono::milliseconds hold_time = std::chrono::seconds(3);

  // Runs `task` on the host's thread (the one that uses the connection)
  // after `delay`, from the host's event loop; the connection uses it to let
  // go of a read after hold_time. A task may run late, or never (the host
  // closing); it must not run inside a call into the connection. Without
  // it a read holds its cursor until the control lets go of it.
  std::function<void(std::chrono::milliseconds delay, std::function<void()> task)> defer;

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
