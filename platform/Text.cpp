// Text: UTF-8 decoding, character counting and upper-casing.
#include "platform/Text.h"

#include <unicode/uchar.h>

#include <charconv>
#include <limits>

#include "platform/Error.h"

namespace trovel {
namespace {

struct Decoded {
  int codepoint;
  std::size_t bytes;
  bool valid;
};

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Decodes the character at byte offset i (i < s.size()).
Decoded DecodeAt(const std::string& s, std::size_t i) {
  const auto lead = static_cast<unsigned char>(s[i]);
  if (lead < 0x80) return {lead, 1, true};
  std::size_t length = 0;
  int value = 0;
  int minimum = 0;
  if ((lead & 0xE0) == 0xC0) { length = 2; value = lead & 0x1F; minimum = 0x80; }
  else if ((lead & 0xF0) == 0xE0) { length = 3; value = lead & 0x0F; minimum = 0x800; }
  else if ((lead & 0xF8) == 0xF0) { length = 4; value = lead & 0x07; minimum = 0x10000; }
  else return {lead, 1, false};
  if (i + length > s.size()) return {lead, 1, false};
  for (std::size_t k = 1; k < length; ++k) {
    const auto c = static_cast<unsigned char>(s[i + k]);
    if (!IsContinuation(c)) return {lead, 1, false};
    value = (value << 6) | (c & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
    return {lead, 1, false};
  return {value, length, true};
}

// Byte offset of the character with 0-based index n (s.size() if beyond).
std::size_t ByteOffsetOf(const std::string& s, std::size_t n) {
  std::size_t i = 0;
  while (i < s.size() && n > 0) {
    i += DecodeAt(s, i).bytes;
    --n;
  }
  return i;
}


bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsBlank(char c, Text::Blanks blanks) {
  switch (blanks) {
    case Text::Blanks::kSpaces: return c == ' ';
    case Text::Blanks::kSpacesAndTabs: return c == ' ' || c == '\t';
    case Text::Blanks::kWhitespace: return c == ' ' || c == '\t' || c == '\r' || c == '\n';
  }
  return false;
}

}  // namespace

std::size_t Text::Length(const std::string& s) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < s.size(); i += DecodeAt(s, i).bytes) ++count;
  return count;
}

std::string Text::Mid(const std::string& s, std::size_t start, std::size_t count) {
  if (start < 1) throw Error::InvalidValue("las posiciones de los caracteres empiezan en 1");
  const std::size_t begin = ByteOffsetOf(s, start - 1);
  if (begin >= s.size()) return "";
  std::size_t end = begin;
  while (end < s.size() && count > 0) {
    end += DecodeAt(s, end).bytes;
    --count;
  }
  return s.substr(begin, end - begin);
}

std::string Text::Left(const std::string& s, std::size_t count) {
  return s.substr(0, ByteOffsetOf(s, count));
}

int Text::UpperChar(int c) {
  // ICU's simple mapping keeps one character one character (no "SS" for
  // "ß"), so a box never grows by more than the key typed into it.
  if (c < 0 || c > 0x10FFFF) return c;
  return u_toupper(c);
}

std::string Text::Upper(const std::string& s) {
  // One pass, appending into one string: a statement of any length is
  // upper-cased without an allocation per character.
  std::string result;
  result.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      result += static_cast<char>(c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c);
      ++i;
      continue;
    }
    const Decoded d = DecodeAt(s, i);
    if (d.valid) Text::AppendCodepoint(result, static_cast<char32_t>(UpperChar(d.codepoint)));
    else result += s[i];
    i += d.bytes;
  }
  return result;
}

std::string Text::Trim(const std::string& s, Blanks blanks) {
  std::size_t begin = 0;
  std::size_t end = s.size();
  while (begin < end && IsBlank(s[begin], blanks)) ++begin;
  while (end > begin && IsBlank(s[end - 1], blanks)) --end;
  return s.substr(begin, end - begin);
}

std::string Text::TrimEnd(const std::string& s, Blanks blanks) {
  std::size_t end = s.size();
  while (end > 0 && IsBlank(s[end - 1], blanks)) --end;
  return s.substr(0, end);
}

double Text::Val(const std::string& text) {
  std::string s;
  for (char c : text)
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') s += c;
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  const std::size_t int_begin = i;
  while (i < s.size() && IsDigit(s[i])) ++i;
  const std::string whole = s.substr(int_begin, i - int_begin);
  std::string fraction;
  if (i < s.size() && s[i] == '.') {
    const std::size_t frac_begin = ++i;
    while (i < s.size() && IsDigit(s[i])) ++i;
    fraction = s.substr(frac_begin, i - frac_begin);
  }
  if (whole.empty() && fraction.empty()) return 0;
  const std::string digits = (whole.empty() ? "0" : whole) + (fraction.empty() ? "" : "." + fraction);
  double value = 0;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                       std::chars_format::fixed);
  if (result.ec == std::errc::result_out_of_range) {
    // Too large, or too small to tell from 0.
    const bool large = whole.find_first_not_of('0') != std::string::npos;
    value = large ? std::numeric_limits<double>::infinity() : 0;
  }
  return negative ? -value : value;
}

void Text::AppendCodepoint(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string Text::FromCodepoint(int c) {
  if (c < 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
    throw Error::InvalidValue("no es un código de carácter: " + std::to_string(c));
  std::string out;
  AppendCodepoint(out, static_cast<char32_t>(c));
  return out;
}

int Text::FirstCodepoint(const std::string& s) {
  if (s.empty()) return -1;
  return DecodeAt(s, 0).codepoint;
}

std::u32string Text::Codepoints(const std::string& s) {
  std::u32string out;
  for (std::size_t i = 0; i < s.size();) {
    const Decoded d = DecodeAt(s, i);
    out += static_cast<char32_t>(d.codepoint);
    i += d.bytes;
  }
  return out;
}

bool Text::IsUtf8(const std::string& s) {
  for (std::size_t i = 0; i < s.size();) {
    const Decoded d = DecodeAt(s, i);
    if (!d.valid) return false;
    i += d.bytes;
  }
  return true;
}

std::size_t Text::ByteOffset(const std::string& s, std::size_t n) { return ByteOffsetOf(s, n); }

}  // namespace trovel
