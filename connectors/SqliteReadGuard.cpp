#include "connectors/SqliteReadGuard.h"

#include <algorithm>
#include <string_view>
#include <thread>

#include "connectors/AsciiCase.h"
#include "connectors/ReadRefusal.h"
#include "platform/Error.h"

namespace trovel {

namespace {

// Functions that read files, load code or change how the database is read.
// Everything else SQLite and this connector define computes from its
// arguments alone.
bool IsForbiddenFunction(std::string_view name) {
  static const char* const kForbidden[] = {"LOAD_EXTENSION", "READFILE", "WRITEFILE", "EDIT", "FTS3_TOKENIZER",
                                           "SQLITE_DBPAGE", "ZIPFILE", "LSMODE", "SHA3_QUERY"};
  std::string upper = AsciiCase::Upper(name);
  for (const char* f : kForbidden)
    if (upper == f) return true;
  return false;
}

constexpr std::chrono::milliseconds kReportEvery(20);
// How long a read waits for a writer that holds the file locked before it
// gives up with SQLite's "database is locked" (the read time limit when
// that is shorter). A writer's transaction lasts moments; one that lasts
// longer is better reported than waited for.
constexpr std::chrono::milliseconds kLockWait(5000);

}  // namespace

SqliteReadGuard::SqliteReadGuard(sqlite3* db, ConnectionSettings settings) : db_(db), settings_(std::move(settings)) {
  for (std::string& name : settings_.read_scope) scope_.insert(AsciiCase::Upper(name));
  sqlite3_set_authorizer(db_, &Authorize, this);
  sqlite3_progress_handler(db_, 1000, &Progress, this);
  sqlite3_busy_handler(db_, &Busy, this);
}

int SqliteReadGuard::Authorize(void* p, int action, const char* a, const char* b, const char*, const char* view) {
  auto* self = static_cast<SqliteReadGuard*>(p);
  if (self->mode_ == Mode::kOff) return SQLITE_OK;
  if (action == SQLITE_READ) {
    // Reads under a view are the view's: the view is what a head names.
    std::string name = AsciiCase::Upper(view ? view : (a ? a : ""));
    if (self->mode_ == Mode::kLearn) {
      self->learnt_.insert(name);
      return SQLITE_OK;
    }
    if (self->scope_.count(name) || self->learnt_.count(name)) return SQLITE_OK;
  } else if (action == SQLITE_SELECT || action == SQLITE_RECURSIVE) {
    return SQLITE_OK;
  } else if (action == SQLITE_FUNCTION) {
    if (!IsForbiddenFunction(b ? b : "")) return SQLITE_OK;
  }
  if (self->mode_ == Mode::kLearn) return SQLITE_OK;  // a head is the host's own text
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

sqlite3_stmt* SqliteReadGuard::Prepare(const std::string& sql, size_t head_length, const char** tail) {
  refused_ = false;
  const std::string_view head_text(sql.data(), head_length);
  if (head_text != learnt_head_) {
    // Learn what the head reads; a head that does not prepare alone
    // entitles the statement to nothing but settings.read_scope. What is
    // learnt is the names the head's text gives (reads under a view count
    // as the view's), so it holds for as long as the head is the same text
    // and each read of a control's pages learns it once.
    learnt_.clear();
    learnt_head_.assign(head_text);
    if (head_length > 0) {
      mode_ = Mode::kLearn;
      sqlite3_stmt* head = nullptr;
      if (sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(head_length), &head, nullptr) != SQLITE_OK) {
        // Learnt afresh next time: what it names may exist by then.
        learnt_.clear();
        learnt_head_.clear();
      }
      sqlite3_finalize(head);
    }
  }
  mode_ = Mode::kCheck;
  sqlite3_stmt* stmt = nullptr;
  int rc = sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &stmt, tail);
  mode_ = Mode::kOff;
  if (refused_) {
    sqlite3_finalize(stmt);
    throw Error(Error::kDatabase, ReadRefusal::OutOfScope());
  }
  if (rc != SQLITE_OK) throw Error(Error::kDatabase, sqlite3_errmsg(db_));
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
  throw Error(Error::kDatabase, sqlite3_errmsg(db_));
}

}  // namespace trovel
