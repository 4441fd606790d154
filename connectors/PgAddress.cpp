#include "connectors/PgAddress.h"

#include <algorithm>

namespace trovel {

namespace {

constexpr std::string_view kMask = "****";
constexpr std::string_view kPrefixes[] = {"postgresql://", "postgres://"};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
bool IsKeywordChar(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }

size_t SkipBlanks(std::string_view s, size_t i) {
  while (i < s.size() && IsBlank(s[i])) ++i;
  return i;
}

size_t PgPrefix(std::string_view s) {
  for (std::string_view p : kPrefixes)
    if (s.substr(0, p.size()) == p) return p.size();
  return 0;
}

// Length of any "scheme://" that starts `s`, 0 when none: an address of
// another kind may carry a password in the same place.
size_t SchemePrefix(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && ((s[i] >= 'a' && s[i] <= 'z') || (s[i] >= 'A' && s[i] <= 'Z') ||
                          (i > 0 && ((s[i] >= '0' && s[i] <= '9') || s[i] == '+' || s[i] == '-' || s[i] == '.'))))
    ++i;
  return i > 0 && s.substr(i, 3) == "://" ? i + 3 : 0;
}

// Masks password=... in a URI's query ("a=1&password=x&b=2").
std::string MaskQuery(std::string_view query) {
  std::string out;
  size_t start = 0;
  while (start <= query.size()) {
    size_t end = query.find('&', start);
    if (end == std::string_view::npos) end = query.size();
    std::string_view pair = query.substr(start, end - start);
    if (start) out += '&';
    if (pair.substr(0, 9) == "password=") {
      out += "password=";
      out += kMask;
    } else {
      out += pair;
    }
    start = end + 1;
  }
  return out;
}

std::string MaskUri(std::string_view s, size_t prefix) {
  size_t end = s.find_first_of("/?", prefix);
  std::string_view authority = s.substr(prefix, end == std::string_view::npos ? s.npos : end - prefix);
  std::string out(s.substr(0, prefix));
  size_t at = authority.rfind('@');
  if (at != std::string_view::npos) {
    std::string_view user = authority.substr(0, at);
    size_t colon = user.find(':');
    out += user.substr(0, colon);
    if (colon != std::string_view::npos) (out += ':') += kMask;
    out += authority.substr(at);
  } else {
    out += authority;
  }
  if (end == std::string_view::npos) return out;
  size_t q = s.find('?', end);
  out += s.substr(end, q == std::string_view::npos ? s.npos : q - end);
  if (q != std::string_view::npos) (out += '?') += MaskQuery(s.substr(q + 1));
  return out;
}

// Length of a keyword string's value at s[i]: a '...' string with "\"
// escapes, or a run of non-blanks with "\" escapes. 0 when a quote is left
// open.
size_t ValueLength(std::string_view s, size_t i) {
  size_t j = i;
  if (j < s.size() && s[j] == '\'') {
    for (++j; j < s.size(); ++j) {
      if (s[j] == '\\') {
        ++j;
      } else if (s[j] == '\'') {
        return j + 1 - i;
      }
    }
    return 0;
  }
  while (j < s.size() && !IsBlank(s[j])) j += s[j] == '\\' ? 2 : 1;
  return std::min(j, s.size()) - i;
}

// Masks the value of every password keyword; "" when the string is broken
// before its password could be found.
std::string MaskKeywords(std::string_view s, bool& broken) {
  std::string out;
  size_t i = 0;
  broken = false;
  while (true) {
    size_t key = SkipBlanks(s, i);
    out += s.substr(i, key - i);
    if (key >= s.size()) return out;
    size_t key_end = key;
    while (key_end < s.size() && IsKeywordChar(s[key_end])) ++key_end;
    size_t eq = SkipBlanks(s, key_end);
    if (key_end == key || eq >= s.size() || s[eq] != '=') break;
    size_t value = SkipBlanks(s, eq + 1);
    size_t length = ValueLength(s, value);
    if (length == 0 && value < s.size()) break;
    out += s.substr(key, value - key);
    out += s.substr(key, key_end - key) == "password" ? kMask : s.substr(value, length);
    i = value + length;
  }
  broken = true;
  return out + std::string(s.substr(i));
}

}  // namespace

bool PgAddress::Matches(std::string_view address) {
  size_t i = SkipBlanks(address, 0);
  if (PgPrefix(address.substr(i))) return true;
  size_t j = i;
  while (j < address.size() && IsKeywordChar(address[j])) ++j;
  if (j == i) return false;
  j = SkipBlanks(address, j);
  return j < address.size() && address[j] == '=';
}

std::string PgAddress::Masked(std::string_view address) {
  size_t start = SkipBlanks(address, 0);
  if (size_t prefix = SchemePrefix(address.substr(start)))
    return std::string(address.substr(0, start)) + MaskUri(address.substr(start), prefix);
  bool broken = false;
  std::string out = MaskKeywords(address, broken);
  if (broken && address.find("password") != std::string_view::npos) return "(address not shown: it holds a password)";
  return out;
}

}  // namespace trovel
