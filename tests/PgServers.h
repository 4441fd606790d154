// PgServers: the throw-away PostgreSQL servers that tests/pg/pgcluster.sh
// started for this test run (CTest's fixture pg_servers_start), read from
// the file that the environment variable TROVEL_PG_SERVERS names. Without
// them a test fails; it is never skipped.
#pragma once

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

namespace trovel {

struct PgServers {
  std::string dir;      // where the servers live
  std::string script;   // pgcluster.sh
  std::string primary;  // keyword-string addresses
  std::string standby;
  std::string hosts;    // both, as libpq's several-host form (primary first)
  std::string pooler;   // PgBouncer in transaction pooling mode before the primary's database

  // Throws std::runtime_error saying what is missing.
  static PgServers Load() {
    const char* file = std::getenv("TROVEL_PG_SERVERS");
    if (!file || !*file)
      throw std::runtime_error("TROVEL_PG_SERVERS is not set: run the PostgreSQL tests through ctest");
    std::ifstream in(file);
    if (!in) throw std::runtime_error(std::string("no PostgreSQL servers are running: ") + file + " is missing");
    PgServers s;
    for (std::string line; std::getline(in, line);) {
      size_t space = line.find(' ');
      std::string key = line.substr(0, space), value = space == std::string::npos ? "" : line.substr(space + 1);
      for (auto [name, field] : {std::pair{"dir", &s.dir}, {"script", &s.script}, {"primary", &s.primary},
                                 {"standby", &s.standby}, {"hosts", &s.hosts}, {"pooler", &s.pooler}})
        if (key == name) *field = value;
    }
    if (s.dir.empty() || s.primary.empty() || s.standby.empty() || s.hosts.empty() || s.pooler.empty() || s.script.empty())
      throw std::runtime_error(std::string(file) + " does not name every server");
    return s;
  }

  // Stops ("down") or starts ("up") one server, "primary" or "standby", or
  // promotes the standby ("promote") or makes it again ("restandby").
  // Throws std::runtime_error when the script fails.
  void Run(const std::string& command, const std::string& node) const {
    std::string line = "bash '" + script + "' " + command + " '" + dir + "' " + node;
    if (std::system(line.c_str()) != 0) throw std::runtime_error("failed: " + line);
  }
};

}  // namespace trovel
