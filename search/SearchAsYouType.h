// SearchAsYouType: what both search controls share when their search follows
// the keys (BuscarAlEscribir): the pause after a change of a filter, the
// count of changes by which a read tells that its filters went stale, and
// the rules on which filters may go out while still being typed.
//
// A change of a filter counts, and with the search on starts the pause again;
// when a pause ends without a change, the control's read runs. A read that
// the pause started is bracketed by a Read: a change while it runs (a key
// that the host let through, which also stops the read) makes it stale, so
// that the control shows nothing of it, and the end of a stale read starts
// the pause again for the filters as they are now. A pause that ends while
// a read runs (a host runs its timers while it waits for the database) does
// nothing: that read is stale, and its end starts the pause again.
//
// Threading: the host's user-interface thread only.
//
// Ownership: owned by its control; `read` may refer to the control. The
// host's timers hold no reference to it (PauseTimer).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/DateTest.h"
#include "platform/Host.h"
#include "platform/PauseTimer.h"

namespace trovel {

class SearchAsYouType {
 public:
  static constexpr int32_t kDefaultPause = 250;    // ms
  static constexpr int32_t kLongestPause = 60000;  // ms

  // REQUIRES: `host` outlives this object.
  SearchAsYouType(Host& host, std::function<void()> read) : timer_(host), read_(std::move(read)) {}
  SearchAsYouType(const SearchAsYouType&) = delete;
  SearchAsYouType& operator=(const SearchAsYouType&) = delete;

  bool On() const { return on_; }
  // Turning it off drops a pause under way.
  void SetOn(bool on);
  int32_t Pause() const { return pause_; }
  // Throws Error::InvalidValue outside 0 to kLongestPause and keeps the old
  // pause.
  void SetPause(int32_t ms);

  // A filter changed.
  void FilterChanged();
  // Drops a pause under way (the read button reads at once).
  void Cancel() { timer_.Cancel(); }
  bool Reading() const { return reading_; }

  // A read that the pause started, from its start to its end.
  // REQUIRES: no other Read of the same object is alive.
  class Read {
   public:
    explicit Read(SearchAsYouType& owner) : owner_(owner), changes_(owner.changes_) { owner_.reading_ = true; }
    ~Read();
    Read(const Read&) = delete;
    Read& operator=(const Read&) = delete;
    // Whether a filter changed since the read began.
    bool Stale() const { return owner_.changes_ != changes_; }

   private:
    SearchAsYouType& owner_;
    uint64_t changes_;
  };

  // Whether a text filter holds a wildcard of LIKE ("%" or "_").
  static bool HasWildcard(const std::string& text);
  // A text filter as it goes out while the search follows the keys: without
  // a wildcard, by prefix ("GAR" -> "GAR%").
  static std::string AsPrefix(const std::string& text);
  // Whether `text` is a whole date as typed into a date filter: "dd/mm/yyyy"
  // (month first when `day_first` is false), a day that exists under `rule`.
  static bool IsWholeDate(const std::string& text, bool day_first,
                          DateTest::LeapYears rule = DateTest::LeapYears::kGregorian);

 private:
  void ArmPause();
  void PauseEnded();

  PauseTimer timer_;
  std::function<void()> read_;
  bool on_ = false;
  int32_t pause_ = kDefaultPause;
  uint64_t changes_ = 0;
  bool reading_ = false;
};

}  // namespace trovel
