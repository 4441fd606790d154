#include "connectors/OdbcWindow.h"

#include <algorithm>
#include <cctype>

#include "connectors/AsciiCase.h"

namespace trovel {

namespace {

// The most rows a window asks for: a few megabytes of a wide row.
constexpr uint64_t kMostRows = 16384;

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$'; }

bool IsBlankOrEnd(std::string_view sql, size_t at) {
  return at >= sql.size() || std::isspace(static_cast<unsigned char>(sql[at]));
}

// Words after which the statement orders, limits or locks its own rows.
bool Refuses(const std::string& word) {
  for (const char* w : {"ORDER", "LIMIT", "OFFSET", "FETCH", "INTO", "FOR", "LOCK", "PROCEDURE"})
    if (word == w) return true;
  return false;
}

}  // namespace

bool OdbcWindow::Fits(std::string_view sql) {
  int depth = 0;
  bool first = true;
  for (size_t i = 0; i < sql.size();) {
    const char c = sql[i];
    const char next = i + 1 < sql.size() ? sql[i + 1] : '\0';
    if (c == '\'' || c == '"' || c == '`') {  // a literal or a name; a doubled quote stays inside
      size_t end = i + 1;
      for (;; end += 2) {
        end = sql.find(c, end);
        if (end == std::string_view::npos) return false;
        if (end + 1 >= sql.size() || sql[end + 1] != c) break;
      }
      i = end + 1;
    } else if (c == '#' || (c == '-' && next == '-' && IsBlankOrEnd(sql, i + 2))) {  // "--" takes a blank
      const size_t end = sql.find('\n', i);
      i = end == std::string_view::npos ? sql.size() : end + 1;
    } else if (c == '/' && next == '*') {
      // "/*!" and "/*M!" hold text the server runs: what it says is unknown here.
      if (sql.substr(i + 2, 1) == "!" || sql.substr(i + 2, 2) == "M!") return false;
      const size_t end = sql.find("*/", i + 2);
      if (end == std::string_view::npos) return false;
      i = end + 2;
    } else if (c == '(') {
      if (first) return false;  // a statement in parentheses may order its rows inside them
      ++depth, ++i;
    } else if (c == ')') {
      --depth, ++i;
    } else if (IsWordChar(c)) {
      size_t end = i;
      while (end < sql.size() && IsWordChar(sql[end])) ++end;
      const std::string word = AsciiCase::Upper(sql.substr(i, end - i));
      if (first && word != "SELECT") return false;
      first = false;
      if (depth == 0 && Refuses(word)) return false;
      i = end;
    } else {
      ++i;
    }
  }
  return !first && depth == 0;
}

uint64_t OdbcWindow::Size(uint64_t read, uint64_t first, uint64_t batch) {
  if (read == 0) return first;
  return std::clamp(read / batch * batch, batch, kMostRows / batch * batch);
}

std::string OdbcWindow::Text(std::string_view sql, uint64_t offset, uint64_t count) {
  std::string out;
  out.reserve(sql.size() + 48);
  out += "(\n";
  out += sql;
  out += "\n) LIMIT " + std::to_string(offset) + ", " + std::to_string(count);
  return out;
}

}  // namespace trovel
