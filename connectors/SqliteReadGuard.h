// SqliteReadGuard: keeps the reads of one SQLite connection to reading, and
// inside their time limit.
//
// What a search reads is decided by its statement: the base statement is
// the developer's, and what a user types reaches it only as bound values.
// The guard is defence in depth beneath that. The connection refuses writes
// (query_only) and loading extensions; the guard's authorizer refuses, at
// prepare time, whatever a search never does: ATTACH and DETACH, every
// PRAGMA (the pragma table functions too), BEGIN and SAVEPOINT (a
// transaction left open would hold a lock on the file until the program
// ends), writes of any kind, reading the schema tables, and the functions
// that load code (load_extension).
//
// Time. SQLite's progress handler looks at the clock every thousand virtual
// machine instructions during each call the guard runs; past the limit, or
// when the host's read_progress asks for it, the call is interrupted. While
// a writer holds the file locked, the busy handler waits for it a few
// seconds at most, asking read_progress too, and then lets SQLite report
// the lock.
//
// Threading: used by the thread that uses its connection.
#pragma once

#include <sqlite3.h>

#include <chrono>
#include <string>

#include "connectors/ConnectionSettings.h"

namespace trovel {

class SqliteReadGuard {
 public:
  // Installs the authorizer and the progress handler on `db`, which must
  // outlive the guard. The guard must not move afterwards.
  SqliteReadGuard(sqlite3* db, ConnectionSettings settings);
  SqliteReadGuard(const SqliteReadGuard&) = delete;
  SqliteReadGuard& operator=(const SqliteReadGuard&) = delete;

  // Prepares the first statement of `sql` (already in SQLite's form) as a
  // read; the caller owns the result, and `tail` points after it in `sql`.
  // Throws Error (ReadRefusal::NotAllowed) for a statement that does what a
  // search never does, Error with SQLite's message for one that cannot be
  // prepared.
  sqlite3_stmt* Prepare(const std::string& sql, const char** tail);

  // sqlite3_step under the time limit. Throws Error (ReadRefusal::TimedOut
  // or ::Stopped) when interrupted, Error with SQLite's message on another
  // failure; returns SQLITE_ROW or SQLITE_DONE.
  int Step(sqlite3_stmt* stmt);

 private:
  static int Authorize(void* self, int action, const char* a, const char* b, const char* db, const char* view);
  static int Progress(void* self);
  static int Busy(void* self, int attempts);

  sqlite3* db_;
  ConnectionSettings settings_;
  bool checking_ = false;  // a read is being prepared
  bool refused_ = false;
  bool running_ = false;
  bool clock_started_ = false;  // started_ holds the current step's start
  std::chrono::steady_clock::time_point started_, last_report_, busy_since_;
  enum class Stop { kNone, kTimedOut, kStopped } stop_ = Stop::kNone;
};

}  // namespace trovel
