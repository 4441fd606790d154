// ContractDatabase: the one table that the search controls are tested on
// against every backend, made on the backend an address names, and the cells
// a control must show for each of its rows.
//
// clientes holds 103 rows, C001 to C103: names with accents that sort in
// Spanish order (collate es), a date, an integer, an amount and a city, with
// NULLs among the last three. 103 rows make two full blocks of 51 and one
// more row.
//
// The backends: "sqlite", "postgresql" (libpq), and through ODBC "mariadb"
// (odbc-mariadb) and "pgodbc" (odbc-postgresql on the same primary), and
// "pgbouncer" (libpq through PgBouncer in transaction pooling mode).
#pragma once

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "connectors/OpenConnection.h"
#include "tests/OdbcServers.h"
#include "tests/PgServers.h"

namespace trovel {

class ContractDatabase {
 public:
  static constexpr int kRows = 103;

  // Makes the table for `backend` and returns the address of its database:
  // on SQLite a file of this process named after `name`, on PostgreSQL the
  // schema `name` of the throw-away primary (through libpq or ODBC), on
  // MariaDB the database `name`.
  // Throws std::runtime_error (or Error) when the backend cannot be reached;
  // a missing server fails the test that asked.
  static std::string Make(const std::string& backend, const std::string& name) {
    std::string address;
    if (backend == "sqlite") {
      address = "sqlite:" + File(name);
      std::filesystem::remove(File(name));
    } else if (backend == "postgresql") {
      const PgServers servers = PgServers::Load();
      ExecuteScript(servers.primary, "drop schema if exists " + name + " cascade; create schema " + name);
      address = InSchema(servers.primary, name);
    } else if (backend == "pgbouncer") {
      // PgBouncer passes no startup options (no search_path): the table
      // lives in a database of its own, which the pooler serves by name.
      const PgServers servers = PgServers::Load();
      ExecuteScript(servers.primary, "drop database if exists " + name + " with (force)");
      ExecuteScript(servers.primary, "create database " + name);
      address = servers.pooler + " dbname=" + name;
    } else if (backend == "pgodbc") {
      ExecuteScript(PgServers::Load().primary, "drop schema if exists " + name + " cascade; create schema " + name);
      address = OdbcServers::In(OdbcServers::Load().pgodbc, name);
    } else if (backend == "mariadb") {
      ExecuteScript(OdbcServers::Load().mariadb,
                    "drop database if exists " + name + "; create database " + name +
                        " character set utf8mb4 collate utf8mb4_uca1400_spanish_as_ci");
      address = OdbcServers::In(OdbcServers::Load().mariadb, name);
    } else {
      throw std::runtime_error("unknown backend " + backend);
    }
    ExecuteScript(address, Script(backend));
    return address;
  }

  // Removes what Make left behind on SQLite, a write-ahead log and its
  // index included (the server's schemas are dropped with the throw-away
  // servers).
  static void Remove(const std::string& name) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) std::filesystem::remove(File(name) + suffix);
  }

  // A PostgreSQL address reading the schema `name` (and public, which holds
  // the collation es).
  static std::string InSchema(const std::string& address, const std::string& name) {
    return address + " options='-c search_path=" + name + ",public'";
  }

  // The six cells of row i (1..kRows) as both controls show them, with the
  // columns codigo, nombre, alta (dd/mm/yyyy), n, saldo, ciudad; NULL is "".
  static std::vector<std::string> Cells(int i) {
    Values v = Row(i);
    char code[8], date[16] = "";
    std::snprintf(code, sizeof code, "C%03d", i);
    if (v.has_date) std::snprintf(date, sizeof date, "%02u/%02u/%04d", v.day, v.month, v.year);
    return {code, v.nombre, date, std::to_string(i), v.has_saldo ? Amount(i) : "", v.ciudad ? v.ciudad : ""};
  }

 private:
  struct Values {
    std::string nombre;
    const char* ciudad;
    bool has_date, has_saldo;
    int year;
    unsigned month, day;
  };

  // Row i: alta is 20 December 2001 plus i days (C005 on 25/12/2001, C014 on
  // 03/01/2002), NULL every 10th row; saldo i * 1.25, NULL every 7th; ciudad
  // NULL every 4th.
  static Values Row(int i) {
    static const char* const kNames[] = {"Ana García", "Íñigo Núñez", "Zoe Pérez",  "Álvaro Ruiz",
                                         "Ñuño Díaz",  "Nuria Gómez", "Inés López", "José Muñoz",
                                         "Óscar Martín", "Lucía Castaño"};
    static const char* const kCities[] = {"Madrid", "Bogotá", "Córdoba", "Lima", "Cádiz"};
    using namespace std::chrono;
    const year_month_day d{sys_days{year{2001} / December / 20} + days{i}};
    Values v{kNames[(i - 1) % 10], i % 4 == 0 ? nullptr : kCities[i % 5], i % 10 != 0, i % 7 != 0, 0, 0, 0};
    v.year = int(d.year());
    v.month = unsigned(d.month());
    v.day = unsigned(d.day());
    return v;
  }

  // i * 1.25 as the runtime writes a number: no trailing zeros.
  static std::string Amount(int i) {
    std::string s = std::to_string(i * 125 / 100) + "." + std::to_string(i * 125 % 100 + 100).substr(1);
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
  }

  static std::string Quoted(const std::string& s) { return s.empty() ? "NULL" : "'" + s + "'"; }

  // One script for every backend: the types and the collation mean the same
  // on each. MariaDB names its Spanish order otherwise, and keeps its texts
  // in varchar, which an ODBC read fetches in arrays (PostgreSQL's text
  // through ODBC is read a row at a time: both ways are tested).
  static std::string Script(const std::string& backend) {
    const std::string text = backend == "mariadb" ? "varchar(60) collate utf8mb4_uca1400_spanish_as_ci" : "text collate es";
    std::string sql =
        "drop table if exists clientes;"
        "create table clientes (codigo " + text + ", nombre " + text + ", ciudad " + text + ","
        " alta date, n integer, saldo double precision);"
        "insert into clientes values ";
    for (int i = 1; i <= kRows; ++i) {
      Values v = Row(i);
      char date[16] = "";
      if (v.has_date) std::snprintf(date, sizeof date, "%04d-%02u-%02u", v.year, v.month, v.day);
      std::vector<std::string> c = Cells(i);
      sql += (i > 1 ? ",(" : "(") + Quoted(c[0]) + "," + Quoted(c[1]) + "," + Quoted(c[5]) + "," + Quoted(date) + "," +
             c[3] + "," + (v.has_saldo ? c[4] : "NULL") + ")";
    }
    return sql;
  }

  static std::string File(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("trovel_" + name + "_" + std::to_string(::getpid()) + ".db"))
        .string();
  }
};

}  // namespace trovel
