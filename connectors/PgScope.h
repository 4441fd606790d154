// PgScope: what a PostgreSQL statement reads, taken from the plan the server
// makes of it (EXPLAIN (VERBOSE, FORMAT JSON): planning only, nothing runs),
// and whether a statement stays inside the scope its head gives it.
//
// The server names every relation a plan scans, views expanded to the
// tables beneath them, with its schema; the plan's expressions name the
// functions it calls. A statement is inside its scope when every relation
// it scans is one its head scans too or one the host allows by name
// ("secretos" or "public.secretos", letter case ignored), and it calls none
// of the functions that read the server's files or act on other sessions.
//
// Thread-safety: a value type; distinct objects may be used from any thread.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace trovel {

class PgScope {
 public:
  // The scope of a head whose plan is `head_plan`, widened by `allowed`.
  PgScope(std::string_view head_plan, const std::vector<std::string>& allowed);

  // Whether the statement whose plan is `plan` stays inside this scope.
  bool Admits(std::string_view plan) const;

  // The relations a plan scans, as "SCHEMA.NAME" upper-cased.
  static std::set<std::string> Relations(std::string_view plan);

 private:
  std::set<std::string> relations_;
  std::set<std::string> allowed_;  // upper-cased, with or without a schema
};

}  // namespace trovel
