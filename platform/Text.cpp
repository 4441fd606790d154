#include "platform/Text.h"

namespace trovel {
namespace {

// Byte length of the character starting at s[i].
size_t CharBytes(const std::string& s, size_t i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
  if (i + n > s.size()) return 1;
  for (size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 1;
  return n;
}

int Decode(const std::string& s, size_t i, size_t n) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  if (n == 1) return c;
  int cp = c & (0x7F >> n);
  for (size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  return cp;
}

}  // namespace

size_t Text::Length(const std::string& s) {
  size_t n = 0;
  for (size_t i = 0; i < s.size(); i += CharBytes(s, i)) ++n;
  return n;
}

std::string Text::Mid(const std::string& s, size_t start, size_t count) {
  if (start < 1) start = 1;
  size_t i = 0, index = 1;
  while (i < s.size() && index < start) i += CharBytes(s, i), ++index;
  size_t from = i;
  for (size_t taken = 0; i < s.size() && taken < count; ++taken) i += CharBytes(s, i);
  return s.substr(from, i - from);
}

std::string Text::Trim(const std::string& s) {
  size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

int Text::UpperChar(int cp) {
  if (cp >= 'a' && cp <= 'z') return cp - 32;
  if ((cp >= 0xE0 && cp <= 0xFE && cp != 0xF7)) return cp - 32;
  if (cp == 0xFF) return 0x178;
  if (cp >= 0x100 && cp <= 0x17F) {
    // Latin Extended-A pairs upper/lower on even/odd code points, shifted at
    // 0x139..0x148 and 0x179..0x17E.
    bool shifted = (cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E);
    if (cp == 0x131 || cp == 0x138 || cp == 0x149 || cp == 0x17F) return cp;
    if (shifted ? (cp % 2 == 0) : (cp % 2 == 1)) return cp - 1;
  }
  return cp;
}

std::string Text::FromCodepoint(int cp) {
  std::string out;
  if (cp < 0 || cp > 0x10FFFF) return out;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return out;
}

std::string Text::Upper(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size();) {
    size_t n = CharBytes(s, i);
    if (n == 1 && static_cast<unsigned char>(s[i]) >= 0x80) {
      out += s[i];  // a stray byte passes unchanged
    } else {
      out += FromCodepoint(UpperChar(Decode(s, i, n)));
    }
    i += n;
  }
  return out;
}

int Text::FirstCodepoint(const std::string& s) {
  if (s.empty()) return -1;
  return Decode(s, 0, CharBytes(s, 0));
}

}  // namespace trovel
