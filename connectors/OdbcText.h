// OdbcText: text between the controls (UTF-8) and the wide-character ODBC
// API (SQLWCHAR, UTF-16), which every Unicode driver takes whatever the
// client's locale: the narrow API would read bytes in the locale's
// character set.
//
// Thread-safety: only static functions; safe from any thread.
#pragma once

#include <sql.h>

#include <optional>
#include <string>
#include <string_view>

namespace trovel {

class OdbcText {
 public:
  OdbcText() = delete;

  using Wide = std::basic_string<SQLWCHAR>;

  // `text` in UTF-16; nullopt when it is not valid UTF-8 (an overlong form,
  // a surrogate, a code past U+10FFFF, a cut sequence).
  static std::optional<Wide> ToWide(std::string_view text);

  // UTF-16 `text` of `length` units in UTF-8; an unpaired surrogate becomes
  // U+FFFD, so that whatever a driver hands back can be shown.
  static std::string ToUtf8(const SQLWCHAR* text, size_t length);
};

}  // namespace trovel
