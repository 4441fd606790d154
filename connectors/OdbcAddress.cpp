#include "connectors/OdbcAddress.h"

#include <vector>

#include "connectors/AsciiCase.h"
#include "platform/Error.h"

namespace trovel {

namespace {

constexpr std::string_view kPrefix = "odbc:";
constexpr char kNotShown[] = "odbc:(la dirección no se puede mostrar)";

struct Pair {
  std::string_view key;    // as written, blanks around it taken off
  std::string_view value;  // as written, braces included
};

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::string_view Body(std::string_view address) { return address.substr(kPrefix.size()); }

// A name alone: no "=" anywhere.
bool IsName(std::string_view body) { return body.find('=') == std::string_view::npos; }

// Splits a connection string as the driver manager reads it. nullopt when a
// braced value is not closed, or a part has no "=".
std::optional<std::vector<Pair>> Split(std::string_view body) {
  std::vector<Pair> pairs;
  size_t at = 0;
  while (at < body.size()) {
    const size_t equals = body.find('=', at);
    const size_t semicolon = body.find(';', at);
    if (equals == std::string_view::npos || (semicolon != std::string_view::npos && semicolon < equals)) {
      if (!Trim(body.substr(at, semicolon == std::string_view::npos ? std::string_view::npos : semicolon - at)).empty())
        return std::nullopt;
      if (semicolon == std::string_view::npos) break;
      at = semicolon + 1;
      continue;
    }
    Pair pair{Trim(body.substr(at, equals - at)), {}};
    size_t v = equals + 1;
    while (v < body.size() && (body[v] == ' ' || body[v] == '\t')) ++v;
    size_t end = v;
    if (v < body.size() && body[v] == '{') {
      for (end = v + 1;; ++end) {
        if (end >= body.size()) return std::nullopt;
        if (body[end] != '}') continue;
        if (end + 1 < body.size() && body[end + 1] == '}') {
          ++end;
          continue;
        }
        ++end;
        break;
      }
      pair.value = body.substr(v, end - v);
      end = body.find(';', end);
    } else {
      end = body.find(';', v);
      pair.value = Trim(body.substr(v, end == std::string_view::npos ? std::string_view::npos : end - v));
    }
    pairs.push_back(pair);
    if (end == std::string_view::npos) break;
    at = end + 1;
  }
  return pairs;
}

bool IsSecret(std::string_view key) {
  const std::string upper = AsciiCase::Upper(key);
  return upper == "PWD" || upper == "PASSWORD";
}

std::optional<std::string> Rewritten(std::string_view address, bool drop) {
  std::string_view body = Body(address);
  if (IsName(body)) return std::string(address);
  std::optional<std::vector<Pair>> pairs = Split(body);
  if (!pairs) return std::nullopt;
  std::string out(address.substr(0, kPrefix.size()));
  for (const Pair& p : *pairs) {
    if (IsSecret(p.key) && drop) continue;
    if (out.size() > kPrefix.size()) out += ';';
    (out += p.key) += '=';
    out += IsSecret(p.key) ? std::string_view("****") : p.value;
  }
  return out;
}

}  // namespace

bool OdbcAddress::Matches(std::string_view address) {
  return address.size() >= kPrefix.size() && AsciiCase::Same("ODBC:", address.substr(0, kPrefix.size()));
}

std::string OdbcAddress::ConnectionString(std::string_view address) {
  std::string_view body = Trim(Body(address));
  if (body.empty()) throw Error(Error::kDatabase, "La dirección ODBC no nombra ninguna base de datos: escriba odbc:DSN=nombre o odbc:DRIVER={...};...");
  if (IsName(body)) return "DSN=" + std::string(body);
  if (!Split(body)) throw Error(Error::kDatabase, "La dirección de la base de datos no es válida: falta una llave de cierre }");
  return std::string(body);
}

std::string OdbcAddress::Masked(std::string_view address) {
  std::optional<std::string> masked = Rewritten(address, false);
  return masked ? *masked : std::string(kNotShown);
}

std::optional<std::string> OdbcAddress::WithoutSecrets(std::string_view address) { return Rewritten(address, true); }

std::string OdbcAddress::Value(std::string_view address, std::string_view key) {
  std::string_view body = Trim(Body(address));
  if (IsName(body)) return AsciiCase::Same("DSN", key) ? std::string(body) : "";
  std::optional<std::vector<Pair>> pairs = Split(body);
  if (!pairs) return "";
  const std::string upper = AsciiCase::Upper(key);
  for (const Pair& p : *pairs) {
    if (!AsciiCase::Same(upper, p.key)) continue;
    if (p.value.size() < 2 || p.value.front() != '{') return std::string(p.value);
    std::string value;
    for (size_t i = 1; i + 1 < p.value.size(); ++i) {
      value += p.value[i];
      if (p.value[i] == '}') ++i;  // "}}" stands for "}"
    }
    return value;
  }
  return "";
}

}  // namespace trovel
