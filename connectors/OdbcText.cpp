#include "connectors/OdbcText.h"

#include "platform/Text.h"

namespace trovel {

std::optional<OdbcText::Wide> OdbcText::ToWide(std::string_view text) {
  const std::string utf8(text);
  if (!Text::IsUtf8(utf8)) return std::nullopt;
  Wide out;
  out.reserve(text.size());
  for (char32_t code : Text::Codepoints(utf8)) {
    if (code >= 0x10000) {
      code -= 0x10000;
      out += static_cast<SQLWCHAR>(0xD800 + (code >> 10));
      out += static_cast<SQLWCHAR>(0xDC00 + (code & 0x3FF));
    } else {
      out += static_cast<SQLWCHAR>(code);
    }
  }
  return out;
}

std::string OdbcText::ToUtf8(const SQLWCHAR* text, size_t length) {
  std::string out;
  out.reserve(length);
  for (size_t i = 0; i < length; ++i) {
    char32_t code = text[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      code = 0xFFFD;
    }
    Text::AppendCodepoint(out, code);
  }
  return out;
}

}  // namespace trovel
