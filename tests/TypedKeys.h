// KeysOf: the key codes a user presses to type a UTF-8 text, one per
// character, as the host hands them to a widget's key handlers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Text.h"

namespace trovel {

inline std::vector<int16_t> KeysOf(const std::string& text) {
  std::vector<int16_t> keys;
  for (std::size_t i = 1; i <= Text::Length(text); ++i)
    keys.push_back(static_cast<int16_t>(Text::FirstCodepoint(Text::Mid(text, i, 1))));
  return keys;
}

}  // namespace trovel
