#include "platform/PauseTimer.h"

namespace trovel {

void PauseTimer::Arm(std::chrono::milliseconds pause, std::function<void()> task) {
  const uint64_t arm = ++state_->arms;
  state_->task = std::move(task);
  // The host's timers cannot be taken back: an earlier Arm's timer still
  // fires, finds a later Arm number and does nothing.
  host_.Defer(pause, [weak = std::weak_ptr<State>(state_), arm] {
    std::shared_ptr<State> state = weak.lock();
    if (!state || state->arms != arm || !state->task) return;
    // Moved out first: the task may arm the timer again, or destroy it.
    std::function<void()> task = std::move(state->task);
    state->task = nullptr;
    task();
  });
}

void PauseTimer::Cancel() {
  ++state_->arms;
  state_->task = nullptr;
}

}  // namespace trovel
