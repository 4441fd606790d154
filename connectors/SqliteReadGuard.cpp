#include "connectors/SqliteReadGuard.h"

#include <algorithm>
#include <string_view>
#include <thread>

#include "connectors/AsciiCase.h"
#include "connectors/ReadRefusal.h"
#include "platform/Error.h"

namespace trovel {

namespace {

// Reads that a search never makes: the schema (sqlite_schema and its
// aliases, and SQLite's other internal tables) and the pragma functions
// (pragma_table_info(...) and the like).
bool IsInternalTable(std::string_view name) {
  const std::string upper = AsciiCase::Upper(name);
  return upper.rfind("SQLITE_", 0) == 0 || upper.rfind("PRAGMA_", 0) == 0;
}

// Functions that load code into the process.
bool LoadsCode(std::string_view name) {
  const std::string upper = AsciiCase::Upper(name);
  return upper == "LOAD_EXTENSION" || upper == "FTS3_TOKENIZER";
}

// How often the host is asked during a read: a key typed meanwhile (search
// as you type) waits at most this long for the host to see it, well within
// a frame at 60 Hz.
constexpr std::chrono::milliseconds kReportEvery(10);
// How long a read waits for a writer that holds the file locked before it
// gives up with SQLite's "database is locked" (the read time limit when
// that is shorter). A writer's transaction lasts moments; one that lasts
// longer is better reported than waited for.
constexpr std::chrono::milliseconds kLockWait(5000);

}  // namespace

SqliteReadGuard::SqliteReadGuard(sqlite3* db, ConnectionSettings settings) : db_(db), settings_(std::move(settings)) {
  sqlite3_set_authorizer(db_, &Authorize, this);
  sqlite3_progress_handler(db_, 1000, &Progress, this);
  sqlite3_busy_handler(db_, &Busy, this);
}

int SqliteReadGuard::Authorize(void* p, int action, const char* a, const char* b, const char*, const char*) {
  auto* self = static_cast<SqliteReadGuard*>(p);
  if (!self->checking_) return SQLITE_OK;  // set-up scripts, and SQLite's own statements
  bool allowed = false;
  switch (action) {
    case SQLITE_SELECT:
    case SQLITE_RECURSIVE: allowed = true; break;
    case SQLITE_READ: allowed = !IsInternalTable(a ? a : ""); break;
    case SQLITE_FUNCTION: allowed = !LoadsCode(b ? b : ""); break;
    default: allowed = false;
  }
  if (allowed) return SQLITE_OK;
  self->refused_ = true;
  return SQLITE_DENY;
}

int SqliteReadGuard::Progress(void* p) {
  auto* self = static_cast<SqliteReadGuard*>(p);
  if (!self->running_) return 0;
  auto now = std::chrono::steady_clock::now();
  if (!self->clock_started_) {
    self->clock_started_ = true;
    self->started_ = self->last_report_ = now;
  }
  auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - self->started_);
  if (self->settings_.read_time_limit.count() > 0 && elapsed >= self->settings_.read_time_limit) {
    self->stop_ = Stop::kTimedOut;
    return 1;
  }
  if (self->settings_.read_progress && now - self->last_report_ >= kReportEvery) {
    self->last_report_ = now;
    if (self->settings_.read_progress(elapsed)) {
      self->stop_ = Stop::kStopped;
      return 1;
    }
  }
  return 0;
}

int SqliteReadGuard::Busy(void* p, int attempts) {
  auto* self = static_cast<SqliteReadGuard*>(p);
  auto now = std::chrono::steady_clock::now();
  if (attempts == 0) self->busy_since_ = now;
  auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(now - self->busy_since_);
  auto limit = kLockWait;
  if (self->settings_.read_time_limit.count() > 0) limit = std::min(limit, self->settings_.read_time_limit);
  if (waited >= limit) return 0;  // SQLite then reports the lock
  if (self->settings_.read_progress && self->settings_.read_progress(waited)) {
    self->stop_ = Stop::kStopped;
    return 0;
  }
  std::this_thread::sleep_for(kReportEvery);
  return 1;
}

sqlite3_stmt* SqliteReadGuard::Prepare(const std::string& sql, const char** tail) {
  refused_ = false;
  checking_ = true;
  sqlite3_stmt* stmt = nullptr;
  int rc = sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &stmt, tail);
  checking_ = false;
  if (refused_) {
    sqlite3_finalize(stmt);
    throw Error(Error::kDatabase, ReadRefusal::NotAllowed());
  }
  if (rc != SQLITE_OK) throw Error(Error::kDatabase, ReadRefusal::Failed(sqlite3_errmsg(db_)));
  return stmt;
}

int SqliteReadGuard::Step(sqlite3_stmt* stmt) {
  // The clock starts at the first progress call, a thousand instructions
  // in: most steps of a search end before it, and need no clock at all.
  clock_started_ = false;
  stop_ = Stop::kNone;
  running_ = true;
  int rc = sqlite3_step(stmt);
  running_ = false;
  if (rc == SQLITE_ROW || rc == SQLITE_DONE) return rc;
  if (stop_ == Stop::kTimedOut) throw Error(Error::kDatabase, ReadRefusal::TimedOut(settings_.read_time_limit));
  if (stop_ == Stop::kStopped) throw Error(Error::kDatabase, ReadRefusal::Stopped());
  throw Error(Error::kDatabase, ReadRefusal::Failed(sqlite3_errmsg(db_)));
}

}  // namespace trovel
