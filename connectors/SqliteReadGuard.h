// SqliteReadGuard: keeps the reads of one SQLite connection inside their
// scope and their time limit.
//
// Scope. Read-only is not enough: a union over a table of passwords is a
// read. The guard prepares a statement's head (SqlText::head_length, the
// base statement of a search control) under an authorizer that notes the
// tables and views it reads, then prepares the whole statement under one
// that refuses reading any other (the schema tables included, unless the
// head reads them), ATTACH and DETACH, every PRAGMA, BEGIN and SAVEPOINT (a
// transaction left open would hold a lock on the file until the program
// ends), writes of any kind and the functions that reach beyond the values
// of a row (load_extension, readfile, ...). The learnt scope is the head's
// own, learnt for each statement, so that several controls with different
// base statements may share one connection; settings.read_scope widens it.
// A head reading through a view is entitled to that view, not to the
// tables under it.
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
#include <set>
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

  // Prepares the first statement of `sql` (already in SQLite's form, with
  // `head_length` its head) as a read inside its scope; the caller owns the
  // result, and `tail` points after it in `sql`. Throws Error
  // (ReadRefusal::OutOfScope) for a statement out of scope, Error with
  // SQLite's message for one that cannot be prepared.
  sqlite3_stmt* Prepare(const std::string& sql, size_t head_length, const char** tail);

  // sqlite3_step under the time limit. Throws Error (ReadRefusal::TimedOut
  // or ::Stopped) when interrupted, Error with SQLite's message on another
  // failure; returns SQLITE_ROW or SQLITE_DONE.
  int Step(sqlite3_stmt* stmt);

 private:
  enum class Mode { kOff, kLearn, kCheck };
  static int Authorize(void* self, int action, const char* a, const char* b, const char* db, const char* view);
  static int Progress(void* self);
  static int Busy(void* self, int attempts);

  sqlite3* db_;
  ConnectionSettings settings_;
  Mode mode_ = Mode::kOff;
  std::set<std::string> scope_;   // settings.read_scope, upper-cased
  std::set<std::string> learnt_;  // what the current statement's head reads
  std::string learnt_head_;       // the head whose reads learnt_ holds
  bool refused_ = false;
  bool running_ = false;
  bool clock_started_ = false;  // started_ holds the current step's start
  std::chrono::steady_clock::time_point started_, last_report_, busy_since_;
  enum class Stop { kNone, kTimedOut, kStopped } stop_ = Stop::kNone;
};

}  // namespace trovel
