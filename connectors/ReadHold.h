// ReadHold: lets go of a read that nobody pages on. A connection keeps one
// per thing that holds the database (an SQLite cursor, a PostgreSQL
// session); every call on the read touches it, and once the read has been
// left alone for ConnectionSettings::hold_time the release given at
// construction runs, from a task the host runs later on its own thread
// (ConnectionSettings::defer). No thread of its own ever touches a
// connection.
//
// The timer is armed once for a run of calls: when it fires early (calls
// came meanwhile) it is armed again for what is left of the hold time, so
// paging on costs a clock read per call and no task. A task that fires after
// its hold is gone does nothing.
//
// Ownership: the owner of the read holds the ReadHold through shared_ptr;
// the host's tasks hold only weak references. The release runs while the
// owner holds the ReadHold, so it may use its owner.
//
// Threading: the host's thread only, like the connection.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include "connectors/ConnectionSettings.h"

namespace trovel {

class ReadHold : public std::enable_shared_from_this<ReadHold> {
 public:
  // What a release tells: whether it is done (it let go, or there was
  // nothing to let go of) or must be tried again later (a call into the
  // database was in flight when the task ran).
  enum class Outcome { kDone, kBusy };

  // `release` lets go of the read; it must not throw.
  ReadHold(const ConnectionSettings& settings, std::function<Outcome()> release);
  ReadHold(const ReadHold&) = delete;
  ReadHold& operator=(const ReadHold&) = delete;

  // Whether the host lends a timer: without one the read is held as long
  // as its owner keeps it.
  bool Enabled() const { return static_cast<bool>(defer_); }

  // A call on the read: the hold time starts again, and the timer is armed
  // unless it already is. Cheap enough for every row.
  // REQUIRES: the ReadHold is owned by a shared_ptr.
  void Touch() {
    if (!defer_) return;
    last_call_ = Now();
    if (!armed_) Arm(hold_time_);
  }

 private:
  using Clock = std::chrono::steady_clock;

  // A coarse clock (a few milliseconds of resolution) is enough to measure
  // hold times, and costs a fraction of a precise one on every row.
  static Clock::time_point Now();
  void Arm(std::chrono::milliseconds delay);
  void Fire();

  const std::chrono::milliseconds hold_time_;
  const std::function<void(std::chrono::milliseconds, std::function<void()>)> defer_;
  const std::function<Outcome()> release_;
  Clock::time_point last_call_{};
  bool armed_ = false;
};

}  // namespace trovel
