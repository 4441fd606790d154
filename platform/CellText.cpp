#include "platform/CellText.h"

#include <limits>
#include <stdexcept>

namespace trovel {

void CellText::Assign(std::string_view text) {
  if (text.size() <= kTag) {
    Release();
    if (!text.empty()) std::memcpy(bytes_, text.data(), text.size());
    bytes_[kTag] = static_cast<char>(text.size());
    return;
  }
  if (text.size() > std::numeric_limits<uint32_t>::max()) throw std::length_error("a grid cell holds less than 4 GiB");
  char* copy = new char[text.size()];
  std::memcpy(copy, text.data(), text.size());
  Release();
  const auto size = static_cast<uint32_t>(text.size());
  std::memcpy(bytes_, &copy, sizeof copy);
  std::memcpy(bytes_ + sizeof copy, &size, sizeof size);
  bytes_[kTag] = static_cast<char>(kLarge);
}

}  // namespace trovel
