// PauseTimer: a task that runs once a pause has passed with no new Arm: each
// Arm starts the pause again, so a burst of calls runs the task once, a
// pause after the last one. The timer itself is the host's (Host::Defer).
//
// Threading: the host's user-interface thread only.
//
// Ownership: the timer owns the task it was last armed with. The host holds
// only a weak reference to it, so a timer destroyed (its control dropped)
// or cancelled before the pause ends never calls back.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/Host.h"

namespace trovel {

class PauseTimer {
 public:
  // REQUIRES: `host` outlives the timer.
  explicit PauseTimer(Host& host) : host_(host), state_(std::make_shared<State>()) {}
  PauseTimer(const PauseTimer&) = delete;
  PauseTimer& operator=(const PauseTimer&) = delete;

  // Runs `task` once `pause` has passed, unless Arm or Cancel is called
  // before then. The task may destroy the timer, or arm it again.
  void Arm(std::chrono::milliseconds pause, std::function<void()> task);
  // Drops the task waiting, if any.
  void Cancel();
  // Whether a task waits for its pause to end.
  bool Armed() const { return static_cast<bool>(state_->task); }

 private:
  struct State {
    uint64_t arms = 0;  // which Arm a host timer belongs to
    std::function<void()> task;
  };

  Host& host_;
  std::shared_ptr<State> state_;
};

}  // namespace trovel
