// AsciiCase: names compared without regard to the case of ASCII letters, as
// cursors match field names and the SQL reader matches keywords (other bytes
// must match exactly). A cursor upper-cases its column names once, so that
// each lookup compares without allocating.
//
// Thread-safety: only static functions; safe from any thread.
#pragma once

#include <string>
#include <string_view>

namespace trovel {

class AsciiCase {
 public:
  AsciiCase() = delete;

  static char UpperChar(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

  static std::string Upper(std::string_view name) {
    std::string upper(name);
    for (char& c : upper) c = UpperChar(c);
    return upper;
  }

  // True when `name`, in any letter case, is the upper-cased `upper`.
  static bool Same(std::string_view upper, std::string_view name) {
    if (upper.size() != name.size()) return false;
    for (size_t i = 0; i < name.size(); ++i)
      if (upper[i] != UpperChar(name[i])) return false;
    return true;
  }
};

}  // namespace trovel
