// OdbcServers: the throw-away MariaDB server that tests/mariadb/mariadb.sh
// started for this test run (CTest's fixture odbc_servers_start), and the
// ODBC addresses of it and of the PostgreSQL primary, read from the file
// that the environment variable TROVEL_ODBC_SERVERS names, or else from
// odbc_servers.txt beside the file of the PostgreSQL servers
// (TROVEL_PG_SERVERS), where the fixture writes it. Without them a test
// fails; it is never skipped.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace trovel {

struct OdbcServers {
  std::string dir;      // where the MariaDB server lives
  std::string script;   // mariadb.sh
  std::string mariadb;  // odbc: addresses of the database trovel
  std::string pgodbc;

  // Throws std::runtime_error saying what is missing.
  static OdbcServers Load() {
    std::string file = std::getenv("TROVEL_ODBC_SERVERS") ? std::getenv("TROVEL_ODBC_SERVERS") : "";
    const char* pg = std::getenv("TROVEL_PG_SERVERS");
    if (file.empty() && pg && *pg) file = (std::filesystem::path(pg).parent_path() / "odbc_servers.txt").string();
    if (file.empty()) throw std::runtime_error("TROVEL_ODBC_SERVERS is not set: run the ODBC tests through ctest");
    std::ifstream in(file);
    if (!in) throw std::runtime_error("no MariaDB server is running: " + file + " is missing");
    OdbcServers s;
    for (std::string line; std::getline(in, line);) {
      const size_t space = line.find(' ');
      const std::string key = line.substr(0, space), value = space == std::string::npos ? "" : line.substr(space + 1);
      for (auto [name, field] : {std::pair{"dir", &s.dir}, {"script", &s.script}, {"mariadb", &s.mariadb},
                                 {"pgodbc", &s.pgodbc}})
        if (key == name) *field = value;
    }
    if (s.dir.empty() || s.script.empty() || s.mariadb.empty() || s.pgodbc.empty())
      throw std::runtime_error(file + " does not name every server");
    return s;
  }

  // `address` (one of the above) reading the database, or on PostgreSQL
  // the schema, `name`.
  static std::string In(const std::string& address, const std::string& name) {
    const size_t at = address.find(";DATABASE=trovel");
    if (address.find("psqlodbc") != std::string::npos)
      return address + ";ConnSettings={SET search_path TO " + name + ", public}";
    if (at == std::string::npos) throw std::runtime_error("the address names no database trovel: " + address);
    return address.substr(0, at) + ";DATABASE=" + name + address.substr(at + 16);
  }
};

}  // namespace trovel
