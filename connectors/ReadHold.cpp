#include "connectors/ReadHold.h"

#include <time.h>

#include <algorithm>

namespace trovel {

namespace {

// A busy database is asked again this soon rather than a whole hold time
// later.
constexpr std::chrono::milliseconds kBusyRetry(50);

}  // namespace

ReadHold::ReadHold(const ConnectionSettings& settings, std::function<Outcome()> release)
    : hold_time_(std::max(settings.hold_time, std::chrono::milliseconds(0))),
      defer_(settings.defer),
      release_(std::move(release)) {}

ReadHold::Clock::time_point ReadHold::Now() {
#ifdef CLOCK_MONOTONIC_COARSE
  timespec t;
  if (clock_gettime(CLOCK_MONOTONIC_COARSE, &t) == 0)
    return Clock::time_point(std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(t.tv_sec) +
                                                                         std::chrono::nanoseconds(t.tv_nsec)));
#endif
  return Clock::now();
}

void ReadHold::Arm(std::chrono::milliseconds delay) {
  armed_ = true;
  defer_(delay, [weak = weak_from_this()] {
    if (std::shared_ptr<ReadHold> hold = weak.lock()) hold->Fire();
  });
}

void ReadHold::Fire() {
  armed_ = false;
  const auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(Now() - last_call_);
  if (idle < hold_time_) return Arm(hold_time_ - idle);
  if (release_() == Outcome::kBusy) Arm(kBusyRetry);
}

}  // namespace trovel
