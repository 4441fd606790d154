// OdbcWait: runs a blocking ODBC call (executing a statement, fetching a
// block) on a thread of its own while the host's thread waits for it,
// asking the host now and then whether to stop (read_progress), and
// watching the time limit. A stop, or a call past the time limit plus a
// grace (a driver that ignores the statement's query timeout), cancels the
// statement with SQLCancel, which ODBC lets another thread call on a
// statement that is running; the call then returns with its failure.
//
// Without read_progress and without a time limit the call runs on the
// caller's thread.
//
// Ownership: one per session; its thread ends with it.
// Threading: Run is called by the host's thread only, one call at a time.
#pragma once

#include <sql.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "connectors/ConnectionSettings.h"

namespace trovel {

class OdbcWait {
 public:
  // Why a call was cancelled.
  enum class Cancel { kNone, kStopped, kTimedOut };

  explicit OdbcWait(const ConnectionSettings& settings);
  ~OdbcWait();
  OdbcWait(const OdbcWait&) = delete;
  OdbcWait& operator=(const OdbcWait&) = delete;

  // Runs `call`, an ODBC call on `statement`, and returns its result;
  // `*why` tells whether it was cancelled and why.
  SQLRETURN Run(SQLHSTMT statement, const std::function<SQLRETURN()>& call, Cancel* why);

 private:
  void Loop();

  const ConnectionSettings settings_;
  std::mutex mutex_;
  std::condition_variable changed_;
  const std::function<SQLRETURN()>* job_ = nullptr;  // the call in hand, owned by Run's caller
  SQLRETURN result_ = SQL_ERROR;
  bool done_ = false;
  bool quit_ = false;
  std::thread worker_;  // started by the first call that needs it
};

}  // namespace trovel
