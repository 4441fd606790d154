// CaseBlindLike: a LIKE matcher that reads pattern and text as it goes.
//
// Both strings are decoded one character at a time straight from their
// bytes, so a row costs no allocation and no copy. A "%" is handled by
// remembering where the last one stood: on a mismatch it swallows more of
// the text, up to the next character that can start what follows it, and
// matching resumes there. Earlier "%"s never need revisiting, because
// whatever an earlier one could swallow the last one can swallow as well;
// this keeps the work bounded by the product of the two lengths where a
// recursive matcher can go exponential.
#include "connectors/CaseBlindLike.h"

#include <unicode/uchar.h>

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace trovel {
namespace {

using Byte = unsigned char;

// Characters are code points; an invalid byte b becomes kInvalidByte + b,
// above every code point, so it equals only itself.
constexpr int32_t kInvalidByte = 0x110000;
constexpr int32_t kNoEscape = -1;

// Decodes the character at p (p < end) and moves p past it. The rules are
// those of Text: overlong forms, surrogates and truncated sequences are not
// characters, and their first byte stands alone.
inline int32_t Next(const Byte*& p, const Byte* end) {
  const int32_t lead = *p++;
  if (lead < 0x80) return lead;
  int length;
  int32_t value;
  int32_t minimum;
  if ((lead & 0xE0) == 0xC0) {
    length = 1, value = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 2, value = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 3, value = lead & 0x07, minimum = 0x10000;
  } else {
    return kInvalidByte + lead;
  }
  if (end - p < length) return kInvalidByte + lead;
  for (int k = 0; k < length; ++k) {
    if ((p[k] & 0xC0) != 0x80) return kInvalidByte + lead;
    value = (value << 6) | (p[k] & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return kInvalidByte + lead;
  p += length;
  return value;
}

int32_t IcuKey(int32_t c) { return u_foldCase(u_toupper(c), U_FOLD_CASE_DEFAULT); }

// Keys of the characters of up to two bytes in UTF-8 (Latin, Greek,
// Cyrillic and more), looked up once: they fill names in Spanish, and a
// table read costs far less than two calls into ICU. Beside them, for each
// lead byte of two, whether a character it starts has an ASCII key (as "ı"
// and "ſ" do), so that a search for an ASCII letter can step over the rest.
struct TwoByteKeys {
  std::array<int32_t, 0x800> key{};
  std::array<bool, 0x20> lead_reaches_ascii{};
};

const TwoByteKeys kTwoByte = [] {
  TwoByteKeys table;
  for (int32_t c = 0; c < 0x800; ++c) {
    table.key[static_cast<size_t>(c)] = IcuKey(c);
    if (c >= 0x80 && table.key[static_cast<size_t>(c)] < 0x80) table.lead_reaches_ascii[(c >> 6) & 0x1F] = true;
  }
  return table;
}();

// The value under which case-blind comparison sees character c. ASCII, by
// far the most common, takes no lookup at all: folding an upper-cased ASCII
// letter gives its lower-case form, and no other ASCII character changes.
inline int32_t Key(int32_t c) {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') ? (c | 0x20) : c;
  if (c < 0x800) return kTwoByte.key[static_cast<size_t>(c)];
  if (c >= kInvalidByte) return c;
  return IcuKey(c);
}

// Bytes of v that are zero get their high bit set. Bits above the first
// zero byte may be set wrongly, never bits below it, so the lowest set bit
// is exact.
inline uint64_t ZeroBytes(uint64_t v) {
  return (v - 0x0101010101010101ULL) & ~v & 0x8080808080808080ULL;
}

// Moves p to the first byte that is ASCII `lower` or `upper`, or not ASCII,
// or to `end`. Eight bytes are tested at a time.
inline void SkipToByteOrNonAscii(const Byte*& p, const Byte* end, Byte lower, Byte upper) {
  if constexpr (std::endian::native == std::endian::little) {
    const uint64_t lowers = 0x0101010101010101ULL * lower;
    const uint64_t uppers = 0x0101010101010101ULL * upper;
    while (end - p >= 8) {
      uint64_t word;
      std::memcpy(&word, p, 8);
      const uint64_t stops = (word & 0x8080808080808080ULL) | ZeroBytes(word ^ lowers) | ZeroBytes(word ^ uppers);
      if (stops) {
        p += std::countr_zero(stops) / 8;
        return;
      }
      p += 8;
    }
  }
  while (p != end && *p < 0x80 && *p != lower && *p != upper) ++p;
}

// Moves p past the characters whose key cannot be `key` (itself ASCII),
// stopping where one may be. This is where a search such as "%GARCÍA%"
// spends most of its time. Two-byte characters are stepped over when their
// lead byte starts none with an ASCII key; bytes that start no character
// are characters of their own; longer characters stop the skip, for the
// caller to decode (the Kelvin sign's key is "k").
inline void SkipOtherThanAscii(const Byte*& p, const Byte* end, int32_t key) {
  const Byte lower = static_cast<Byte>(key);
  const Byte upper = (key >= 'a' && key <= 'z') ? static_cast<Byte>(key ^ 0x20) : lower;
  for (;;) {
    SkipToByteOrNonAscii(p, end, lower, upper);
    if (p == end || *p < 0x80) return;
    const Byte lead = *p;
    if (lead >= 0xC2 && lead <= 0xDF) {
      if (kTwoByte.lead_reaches_ascii[lead & 0x1F]) return;
      p += (end - p >= 2 && (p[1] & 0xC0) == 0x80) ? 2 : 1;
    } else if (lead < 0xC2 || lead > 0xF4) {
      ++p;
    } else {
      return;
    }
  }
}

enum class Kind { kAnyRun, kAnyOne, kLiteral, kLoneEscape };

struct Token {
  Kind kind;
  int32_t key;      // of a kLiteral
  const Byte* next;  // where the pattern goes on
};

inline Token ReadToken(const Byte* p, const Byte* end, int32_t escape) {
  const int32_t c = Next(p, end);
  if (c == escape) {
    if (p == end) return {Kind::kLoneEscape, 0, p};
    const int32_t literal = Next(p, end);
    return {Kind::kLiteral, Key(literal), p};
  }
  if (c == '%') return {Kind::kAnyRun, 0, p};
  if (c == '_') return {Kind::kAnyOne, 0, p};
  return {Kind::kLiteral, Key(c), p};
}

const Byte* Begin(std::string_view s) { return reinterpret_cast<const Byte*>(s.data()); }

}  // namespace

bool CaseBlindLike::IsOneCharacter(std::string_view s) {
  if (s.empty()) return false;
  const Byte* p = Begin(s);
  Next(p, p + s.size());
  return p == Begin(s) + s.size();
}

bool CaseBlindLike::Matches(std::string_view pattern, std::string_view text, std::string_view escape_text) {
  int32_t escape = kNoEscape;
  if (!escape_text.empty()) {
    const Byte* e = Begin(escape_text);
    escape = Next(e, e + escape_text.size());
  }
  const Byte* p = Begin(pattern);
  const Byte* const pattern_end = p + pattern.size();
  const Byte* t = Begin(text);
  const Byte* const text_end = t + text.size();
  // After a "%": what follows it in the pattern, and the first character of
  // the text it has not swallowed yet, where that next try starts.
  bool after_run = false;
  Token after_run_token{};
  const Byte* retry = nullptr;
  for (;;) {
    if (p != pattern_end) {
      const Token token = ReadToken(p, pattern_end, escape);
      if (token.kind == Kind::kAnyRun) {
        p = token.next;
        if (p == pattern_end) return true;  // a final "%" takes whatever is left
        after_run_token = ReadToken(p, pattern_end, escape);
        if (after_run_token.kind == Kind::kAnyRun) continue;  // "%%" is "%"
        if (after_run_token.kind == Kind::kLoneEscape) return false;
        after_run = true;
        retry = t;
      } else {
        if (token.kind == Kind::kLoneEscape) return false;
        // The text ran out before the pattern did. Since the last "%" the
        // pattern takes a fixed number of characters, so starting it later
        // would run out sooner: nothing can match.
        if (t == text_end) return false;
        const Byte* after = t;
        const int32_t c = Next(after, text_end);
        if (token.kind == Kind::kAnyOne || token.key == Key(c)) {
          p = token.next;
          t = after;
          continue;
        }
        if (!after_run) return false;
      }
    } else if (t == text_end) {
      return true;
    } else if (!after_run) {
      return false;
    }
    // The last "%" swallows characters up to one that can start what follows
    // it; the tight loop spares reading the pattern again at every step.
    for (;;) {
      if (after_run_token.kind == Kind::kLiteral && after_run_token.key < 0x80)
        SkipOtherThanAscii(retry, text_end, after_run_token.key);
      if (retry == text_end) return false;
      const int32_t c = Next(retry, text_end);
      if (after_run_token.kind == Kind::kAnyOne || Key(c) == after_run_token.key) break;
    }
    p = after_run_token.next;
    t = retry;
  }
}

}  // namespace trovel
