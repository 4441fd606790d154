#include "connectors/OdbcText.h"

namespace trovel {

std::optional<OdbcText::Wide> OdbcText::ToWide(std::string_view text) {
  Wide out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    char32_t code;
    size_t n;
    if (c < 0x80) {
      code = c;
      n = 1;
    } else if (c >= 0xC2 && c < 0xE0) {
      code = c & 0x1F;
      n = 2;
    } else if (c >= 0xE0 && c < 0xF0) {
      code = c & 0x0F;
      n = 3;
    } else if (c >= 0xF0 && c < 0xF5) {
      code = c & 0x07;
      n = 4;
    } else {
      return std::nullopt;
    }
    if (i + n > text.size()) return std::nullopt;
    for (size_t k = 1; k < n; ++k) {
      const unsigned char more = static_cast<unsigned char>(text[i + k]);
      if ((more & 0xC0) != 0x80) return std::nullopt;
      code = (code << 6) | (more & 0x3F);
    }
    // Overlong forms, surrogates and codes past U+10FFFF are not UTF-8.
    if ((n == 3 && code < 0x800) || (n == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF))
      return std::nullopt;
    if (code >= 0x10000) {
      code -= 0x10000;
      out += static_cast<SQLWCHAR>(0xD800 + (code >> 10));
      out += static_cast<SQLWCHAR>(0xDC00 + (code & 0x3FF));
    } else {
      out += static_cast<SQLWCHAR>(code);
    }
    i += n;
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
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return out;
}

}  // namespace trovel
