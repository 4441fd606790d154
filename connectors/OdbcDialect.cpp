#include "connectors/OdbcDialect.h"

#include <charconv>

#include "connectors/AsciiCase.h"

namespace trovel {

namespace {

bool Contains(std::string_view upper, std::string_view word) { return upper.find(word) != std::string_view::npos; }

// "03.01.0017" as 3010017; 0 when it does not read.
int Version(std::string_view text) {
  int out = 0;
  for (int part = 0; part < 3; ++part) {
    int v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc()) return out;
    out = out * (part == 2 ? 10000 : 100) + v;
    text.remove_prefix(static_cast<size_t>(end - text.data()));
    if (!text.empty() && text.front() == '.') text.remove_prefix(1);
  }
  return out;
}

// Connector/ODBC streams forward-only results from 3.1.17 on (NO_CACHE);
// older versions store the whole result when the statement runs, whatever
// the options (3.1.15 knows neither NO_CACHE nor PREFETCH, and ignores the
// OPTION bit for it): reads there run in windows where they can.
constexpr int kMariaDbStreams = 3010017;

}  // namespace

OdbcDialect::OdbcDialect(std::string_view dbms, std::string_view driver, std::string_view driver_version)
    : driver_(AsciiCase::Upper(driver)), version_(Version(driver_version)) {
  const std::string upper = AsciiCase::Upper(dbms);
  if (Contains(upper, "MARIADB") || Contains(upper, "MYSQL")) {
    server_ = Server::kMariaDb;
    name_ = Contains(upper, "MYSQL") ? "MySQL" : "MariaDB";
  } else if (Contains(upper, "POSTGRES")) {
    server_ = Server::kPostgres;
    name_ = "PostgreSQL";
  } else if (!dbms.empty()) {
    name_ = std::string(dbms);
  }
}

std::string OdbcDialect::DriverOptions() const {
  if (Contains(driver_, "PSQLODBC")) {
    // Rows through a server-side cursor, fetched as the client asks for
    // them; booleans as bits, not as the text "1"/"0".
    return "UseDeclareFetch=1;Fetch=256;BoolsAsChar=0;";
  }
  if (Contains(driver_, "MAODBC") && version_ >= kMariaDbStreams) return "NO_CACHE=1;";
  return "";
}

bool OdbcDialect::Streams() const {
  if (Contains(driver_, "PSQLODBC")) return true;
  return Contains(driver_, "MAODBC") && version_ >= kMariaDbStreams;
}

bool OdbcDialect::ReadsInWindows() const {
  return server_ == Server::kMariaDb && Contains(driver_, "MAODBC") && version_ < kMariaDbStreams;
}

std::vector<std::string> OdbcDialect::ScriptSession() const {
  switch (server_) {
    case Server::kMariaDb:
      // Standard SQL as the other backends read it: "..." names a column,
      // || joins texts, and a backslash in a literal is a character.
      return {"SET SESSION sql_mode = CONCAT(@@sql_mode, ',ANSI_QUOTES,PIPES_AS_CONCAT,NO_BACKSLASH_ESCAPES')"};
    case Server::kPostgres:
      return {"SET standard_conforming_strings = on", "SET DateStyle = 'ISO, MDY'"};
    case Server::kOther: break;
  }
  return {};
}

std::vector<std::string> OdbcDialect::ReadSession() const {
  std::vector<std::string> out = ScriptSession();
  switch (server_) {
    case Server::kMariaDb:
      out.push_back("SET SESSION TRANSACTION READ ONLY");
      break;
    case Server::kPostgres:
      out.push_back("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY");
      // A statement run again after the hold gives its rows in the same
      // order (see PgConnection).
      out.push_back("SET synchronize_seqscans = off");
      out.push_back("SET max_parallel_workers_per_gather = 0");
      break;
    case Server::kOther: break;
  }
  return out;
}

SqlText::Dialect OdbcDialect::TextDialect() const {
  switch (server_) {
    case Server::kMariaDb: return SqlText::Dialect::kMariaDb;
    case Server::kPostgres: return SqlText::Dialect::kPostgres;
    case Server::kOther: break;
  }
  return SqlText::Dialect::kOdbc;
}

std::string OdbcDialect::Like(const std::string& field) const {
  switch (server_) {
    // LIKE's escape character is "\" whatever the SQL mode, and ESCAPE ''
    // is refused: Pattern doubles every "\".
    case Server::kMariaDb: return "UPPER(" + field + ") LIKE UPPER(?)";
    case Server::kPostgres: return field + " ILIKE ? ESCAPE ''";
    case Server::kOther: break;
  }
  return "{fn UCASE(" + field + ")} LIKE {fn UCASE(?)}";
}

std::string OdbcDialect::Pattern(const std::string& typed) const {
  if (server_ != Server::kMariaDb) return typed;
  std::string out;
  out.reserve(typed.size());
  for (char c : typed) {
    out += c;
    if (c == '\\') out += c;
  }
  return out;
}

}  // namespace trovel
