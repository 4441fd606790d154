#include "connectors/OdbcWait.h"

namespace trovel {

namespace {

// How often the host is asked while a call runs: a key typed meanwhile
// waits at most this long for the host to see it.
constexpr std::chrono::milliseconds kSlice(10);
// How long past the time limit the driver's own query timeout is given
// before the statement is cancelled from here.
constexpr std::chrono::milliseconds kCancelAfter(500);

}  // namespace

OdbcWait::OdbcWait(const ConnectionSettings& settings) : settings_(settings) {}

OdbcWait::~OdbcWait() {
  if (!worker_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  changed_.notify_all();
  worker_.join();
}

void OdbcWait::Loop() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return job_ != nullptr || quit_; });
    if (quit_) return;
    const std::function<SQLRETURN()>* job = job_;
    job_ = nullptr;
    lock.unlock();
    const SQLRETURN result = (*job)();
    lock.lock();
    result_ = result;
    done_ = true;
    changed_.notify_all();
  }
}

SQLRETURN OdbcWait::Run(SQLHSTMT statement, const std::function<SQLRETURN()>& call, Cancel* why) {
  *why = Cancel::kNone;
  const auto limit = settings_.read_time_limit;
  if (!settings_.read_progress && limit.count() <= 0) return call();
  if (!worker_.joinable()) worker_ = std::thread([this] { Loop(); });

  const auto started = std::chrono::steady_clock::now();
  std::unique_lock<std::mutex> lock(mutex_);
  done_ = false;
  job_ = &call;
  changed_.notify_all();
  // SQLCancel goes out from a thread of its own: a driver manager that
  // serializes calls on a statement would hold it until the call ends, and
  // the host's thread must go on asking meanwhile.
  std::thread canceller;
  while (!changed_.wait_for(lock, kSlice, [this] { return done_; })) {
    if (*why != Cancel::kNone) continue;
    lock.unlock();
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    const bool stop = settings_.read_progress && settings_.read_progress(elapsed);
    if (stop || (limit.count() > 0 && elapsed > limit + kCancelAfter)) {
      *why = stop ? Cancel::kStopped : Cancel::kTimedOut;
      canceller = std::thread([statement] { SQLCancel(statement); });
    }
    lock.lock();
  }
  const SQLRETURN result = result_;
  lock.unlock();
  if (canceller.joinable()) canceller.join();
  return result;
}

}  // namespace trovel
