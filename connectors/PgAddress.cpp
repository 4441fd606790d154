#include "connectors/PgAddress.h"

#include <algorithm>
#include <vector>

#ifdef TROVEL_HAVE_POSTGRESQL
#include <libpq-fe.h>
#endif

namespace trovel {

namespace {

constexpr std::string_view kMask = "****";
constexpr std::string_view kNotShown = "(dirección no mostrada: contiene una contraseña)";
constexpr std::string_view kPrefixes[] = {"postgresql://", "postgres://"};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
bool IsKeywordChar(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameWord(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

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

// The keywords whose values libpq keeps secret. The libpq that the program
// runs with knows its own (a newer one may add some); the two it has always
// had are there without it too, since a masked address is shown even where
// no server can be reached.
const std::vector<std::string>& SecretKeywords() {
  static const std::vector<std::string> keywords = [] {
    std::vector<std::string> out = {"password", "sslpassword"};
#ifdef TROVEL_HAVE_POSTGRESQL
    if (PQconninfoOption* options = PQconndefaults()) {
      for (PQconninfoOption* o = options; o->keyword; ++o)
        if (o->dispchar && o->dispchar[0] == '*' && std::find(out.begin(), out.end(), o->keyword) == out.end())
          out.push_back(o->keyword);
      PQconninfoFree(options);
    }
#endif
    return out;
  }();
  return keywords;
}

// True when a secret keyword's name appears anywhere in `s`, in any case.
bool NamesASecret(std::string_view s) {
  for (const std::string& keyword : SecretKeywords())
    for (size_t i = 0; i + keyword.size() <= s.size(); ++i)
      if (SameWord(s.substr(i, keyword.size()), keyword)) return true;
  return false;
}

// ---- Keyword strings, read as libpq's conninfo_parse reads them.

struct KeywordPair {
  size_t key = 0, key_end = 0;      // the keyword
  size_t value = 0, value_end = 0;  // its value as written, quotes included
  bool secret = false;
};

struct KeywordString {
  std::vector<KeywordPair> pairs;
  size_t end = 0;       // where the reading stopped: the end, unless broken
  bool broken = false;  // a keyword without "=", or a quote left open
};

// A value at s[i]: a '...' string with "\" escapes, or a run of non-blanks
// with "\" escapes. Its end, or npos when a quote is left open.
size_t ValueEnd(std::string_view s, size_t i) {
  if (i < s.size() && s[i] == '\'') {
    for (size_t j = i + 1; j < s.size(); ++j) {
      if (s[j] == '\\') {
        ++j;
      } else if (s[j] == '\'') {
        return j + 1;
      }
    }
    return std::string_view::npos;
  }
  while (i < s.size() && !IsBlank(s[i])) i += s[i] == '\\' ? 2 : 1;
  return std::min(i, s.size());
}

KeywordString ReadKeywords(std::string_view s) {
  KeywordString out;
  size_t i = 0;
  while (true) {
    const size_t key = SkipBlanks(s, i);
    if (key >= s.size()) {
      out.end = s.size();
      return out;
    }
    // A keyword runs to "=" or a blank; "=" may follow after blanks. One
    // that is not a word is none of libpq's, which refuses the string: it
    // may be a secret keyword mistyped.
    size_t key_end = key;
    while (key_end < s.size() && IsKeywordChar(s[key_end])) ++key_end;
    const size_t eq = SkipBlanks(s, key_end);
    if (key_end == key || eq >= s.size() || s[eq] != '=') break;
    const size_t value = SkipBlanks(s, eq + 1);
    const size_t value_end = ValueEnd(s, value);
    if (value_end == std::string_view::npos) break;
    out.pairs.push_back({key, key_end, value, value_end, PgAddress::IsSecret(s.substr(key, key_end - key))});
    i = value_end;
  }
  out.broken = true;
  out.end = i;
  return out;
}

// ---- URIs, read as libpq's conninfo_uri_parse_options reads them.

struct Uri {
  size_t prefix = 0;                 // "scheme://"
  bool userinfo = false;             // user[:password]@ is there
  size_t user_end = 0;               // the user is [prefix, user_end)
  bool password = false;             // ":password" follows the user
  size_t rest = 0;                   // hosts, /dbname: [rest, query)
  size_t query = std::string_view::npos;  // just past "?", npos when none
  bool ambiguous = false;            // an "@" where libpq takes none
};

Uri ReadUri(std::string_view s, size_t prefix) {
  Uri uri;
  uri.prefix = prefix;
  // libpq takes the first "@" before any "/" as the end of the user part,
  // and the first ":" in it as the start of the password.
  const size_t at = s.find_first_of("@/", prefix);
  if (at != std::string_view::npos && s[at] == '@') {
    uri.userinfo = true;
    const size_t colon = s.find(':', prefix);
    uri.password = colon < at;
    uri.user_end = uri.password ? colon : at;
    uri.rest = at + 1;
  } else {
    uri.rest = prefix;
  }
  const size_t q = s.find('?', uri.rest);
  if (q != std::string_view::npos) uri.query = q + 1;
  // Any other "@" before the query is one the user took for the end of a
  // password that libpq reads otherwise ("user:pa/ss@host", "user:p@ss@host"):
  // part of that password would then show as a host or a database.
  const size_t middle_end = q == std::string_view::npos ? s.size() : q;
  uri.ambiguous = s.substr(uri.rest, middle_end - uri.rest).find('@') != std::string_view::npos;
  return uri;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A query parameter's keyword, whose %XX escapes libpq decodes.
std::string Decoded(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && HexDigit(s[i + 1]) >= 0 && HexDigit(s[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(s[i + 1]) * 16 + HexDigit(s[i + 2]));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

// The parameters of a query ("a=1&password=x"), each as written.
std::vector<std::string_view> Parameters(std::string_view query) {
  std::vector<std::string_view> out;
  size_t start = 0;
  while (true) {
    const size_t end = std::min(query.find('&', start), query.size());
    out.push_back(query.substr(start, end - start));
    if (end == query.size()) return out;
    start = end + 1;
  }
}

bool SecretParameter(std::string_view parameter) {
  const size_t eq = parameter.find('=');
  return eq != std::string_view::npos && PgAddress::IsSecret(Decoded(parameter.substr(0, eq)));
}

// The address with every secret masked (`drop` false) or taken out (`drop`
// true); nullopt when its secrets cannot be told apart.
std::optional<std::string> Rewritten(std::string_view address, bool drop) {
  const size_t start = SkipBlanks(address, 0);
  if (const size_t prefix = SchemePrefix(address.substr(start))) {
    const std::string_view s = address.substr(start);
    const Uri uri = ReadUri(s, prefix);
    if (uri.ambiguous) return std::nullopt;
    std::string out(address.substr(0, start + prefix));
    if (uri.userinfo) {
      out += s.substr(prefix, uri.user_end - prefix);
      if (uri.password && !drop) (out += ':') += kMask;
      // Without its password, an empty user part ("://:secret@") goes.
      if (!drop || uri.user_end > prefix) out += '@';
    }
    const size_t middle_end = uri.query == std::string_view::npos ? s.size() : uri.query - 1;
    out += s.substr(uri.rest, middle_end - uri.rest);
    if (uri.query == std::string_view::npos) return out;
    std::string query;
    bool first = true;
    for (std::string_view parameter : Parameters(s.substr(uri.query))) {
      const bool secret = SecretParameter(parameter);
      if (secret && drop) continue;
      if (!first) query += '&';
      first = false;
      query += secret ? std::string(parameter.substr(0, parameter.find('=') + 1)) + std::string(kMask)
                      : std::string(parameter);
    }
    if (!drop || !query.empty()) (out += '?') += query;
    return out;
  }

  const KeywordString read = ReadKeywords(address);
  if (read.broken && NamesASecret(address)) return std::nullopt;
  std::string out;
  if (!drop) {
    size_t copied = 0;
    for (const KeywordPair& p : read.pairs) {
      if (!p.secret) continue;
      out += address.substr(copied, p.value - copied);
      out += kMask;
      copied = p.value_end;
    }
    return out + std::string(address.substr(copied));
  }
  // The pairs that stay, as written, one blank apart; what a broken string
  // holds past the last pair read stays too, since it names no secret.
  for (const KeywordPair& p : read.pairs) {
    if (p.secret) continue;
    if (!out.empty()) out += ' ';
    out += address.substr(p.key, p.value_end - p.key);
  }
  if (read.broken) {
    if (!out.empty()) out += ' ';
    out += address.substr(SkipBlanks(address, read.end));
  }
  return out;
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

bool PgAddress::IsSecret(std::string_view keyword) {
  for (const std::string& secret : SecretKeywords())
    if (SameWord(keyword, secret)) return true;
  return false;
}

std::string PgAddress::Masked(std::string_view address) {
  std::optional<std::string> masked = Rewritten(address, false);
  return masked ? *masked : std::string(kNotShown);
}

std::optional<std::string> PgAddress::WithoutSecrets(std::string_view address) { return Rewritten(address, true); }

}  // namespace trovel
