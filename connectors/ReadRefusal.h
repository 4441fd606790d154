// ReadRefusal: the messages with which every connector refuses or stops a
// read, the same on every backend so that a control shows the same text
// whatever database it talks to.
//
// Thread-safety: the functions may be called from any thread.
#pragma once

#include <chrono>
#include <string>

namespace trovel {

struct ReadRefusal {
  // "La consulta excedió el tiempo máximo (30 s)", with `limit` in seconds.
  static std::string TimedOut(std::chrono::milliseconds limit);
  // The read was stopped by the host (the user pressed Escape).
  static std::string Stopped();
  // The statement does something a search never does: writes, attaches a
  // database, changes a setting, reads the schema. Names nothing: the user
  // may not learn what exists.
  static std::string NotAllowed();

  // The connector's failures, each one Spanish sentence followed by what
  // the database said (`reason`, never an address: the caller takes out
  // hosts, sockets and files first).
  // The server could not be reached, or refused the session.
  static std::string Unreachable(const std::string& reason);
  // The server went away during or between reads; the session is healed at
  // the next read if the server is back.
  static std::string Lost(const std::string& reason);
  // The database refused or failed the statement.
  static std::string Failed(const std::string& reason);
  // The file of an SQLite database could not be opened as one.
  static std::string CannotOpen(const std::string& reason);
};

}  // namespace trovel
