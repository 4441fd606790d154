#include "search/SearchAsYouType.h"

#include "platform/Error.h"

namespace trovel {

void SearchAsYouType::SetOn(bool on) {
  on_ = on;
  if (!on_) timer_.Cancel();
}

void SearchAsYouType::SetPause(int32_t ms) {
  if (ms < 0 || ms > kLongestPause)
    throw Error::InvalidValue("PausaBusqueda va de 0 a " + std::to_string(kLongestPause) + " milisegundos, no " +
                              std::to_string(ms));
  pause_ = ms;
}

void SearchAsYouType::FilterChanged() {
  ++changes_;
  if (on_) ArmPause();
}

void SearchAsYouType::ArmPause() {
  timer_.Arm(std::chrono::milliseconds(pause_), [this] { PauseEnded(); });
}

void SearchAsYouType::PauseEnded() {
  if (reading_ || !on_) return;
  read_();
}

SearchAsYouType::Read::~Read() {
  owner_.reading_ = false;
  if (Stale() && owner_.on_) owner_.ArmPause();
}

bool SearchAsYouType::HasWildcard(const std::string& text) { return text.find_first_of("%_") != std::string::npos; }

std::string SearchAsYouType::AsPrefix(const std::string& text) { return HasWildcard(text) ? text : text + "%"; }

bool SearchAsYouType::IsWholeDate(const std::string& text, bool day_first, DateTest::LeapYears rule) {
  if (text.size() != 10 || text[2] != '/' || text[5] != '/') return false;
  for (size_t i : {0, 1, 3, 4, 6, 7, 8, 9})
    if (text[i] < '0' || text[i] > '9') return false;
  auto number = [&](size_t at, size_t digits) { return std::stoi(text.substr(at, digits)); };
  const int first = number(0, 2), second = number(3, 2), year = number(6, 4);
  const int day = day_first ? first : second;
  const int month = day_first ? second : first;
  const int days = DateTest::DaysInMonth(year, month, rule);
  return day >= 1 && day <= days;
}

}  // namespace trovel
