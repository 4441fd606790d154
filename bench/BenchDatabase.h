// The SQLite files the benchmarks read: one per row count, each with the
// table
//
//   clientes (codigo text, nombre text, saldo real, alta date)
//
// of `rows` rows (codigo 'C0000001'.. in an order other than the rows' own,
// nombre 'Cliente i', saldo i * 1.5, alta an ISO date 'YYYY-MM-DD', which
// SqliteConnection hands to the controls as a Date), an index on codigo, and
// a one-row table bench_rows holding the row count.
//
// When TROVEL_BENCH_DB_DIR names a directory (`make bench` sets it to a
// directory of its own and removes it at the end), the files live there and
// every benchmark program of the run reuses a file that holds the same row
// count, so each size is generated once per run. Otherwise each program
// generates its own files in the temporary directory and removes them when
// it exits.
//
// A program that fork()s must end its children with _exit(), so that they do
// not remove the parent's files.
#pragma once

#include <sqlite3.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace trovel::bench {

namespace database_detail {

inline void Exec(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    const std::string what = error ? error : "sqlite3_exec failed";
    sqlite3_free(error);
    throw std::runtime_error(what + " in: " + sql.substr(0, 120));
  }
}

// The row count the file at `path` says it holds, or -1.
inline long long RowsIn(const std::string& path) {
  if (!std::filesystem::exists(path)) return -1;
  sqlite3* db = nullptr;
  long long rows = -1;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "select n from bench_rows", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
      rows = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
  }
  sqlite3_close(db);
  return rows;
}

inline void Generate(const std::string& path, int rows) {
  const std::string part = path + ".part" + std::to_string(getpid());
  std::filesystem::remove(part);
  sqlite3* db = nullptr;
  if (sqlite3_open(part.c_str(), &db) != SQLITE_OK) throw std::runtime_error("cannot create " + part);
  try {
    const std::string n = std::to_string(rows);
    // 7919 is prime and no factor of a count of 10^k rows, so (i * 7919) % n
    // runs through every number below n once: codigo is unique, but its order
    // is not the order of the rows, and a read in codigo order goes through
    // the index.
    Exec(db, "pragma journal_mode = off; pragma synchronous = off; begin;"
             "create table clientes (codigo text, nombre text, saldo real, alta date);");
    if (rows > 0)
      Exec(db, "with recursive k(i) as (select 1 union all select i + 1 from k where i < " + n +
                   ") insert into clientes select printf('C%07d', (i * 7919) % " + n +
                   " + 1), 'Cliente ' || i, i * 1.5, date('2000-01-01', '+' || (i % 9000) || ' days') from k;");
    Exec(db, "create index clientes_codigo on clientes (codigo);"
             "create table bench_rows (n integer); insert into bench_rows values (" + n + "); commit;");
  } catch (...) {
    sqlite3_close(db);
    std::filesystem::remove(part);
    throw;
  }
  sqlite3_close(db);
  std::filesystem::rename(part, path);
}

// Removes, at exit, the files this process generated for itself.
struct OwnFiles {
  std::map<int, std::string> paths;
  ~OwnFiles() {
    for (const auto& [rows, path] : paths) std::filesystem::remove(path);
  }
};

}  // namespace database_detail

// The path of the database of `rows` rows, generated when needed.
inline std::string BenchDatabase(int rows) {
  static database_detail::OwnFiles own;  // those of this process, removed at exit
  static std::map<int, std::string> shared_paths;  // those of the run, already checked
  if (const auto found = own.paths.find(rows); found != own.paths.end()) return found->second;
  if (const auto found = shared_paths.find(rows); found != shared_paths.end()) return found->second;
  const std::string name = "trovel_bench_" + std::to_string(rows) + ".db";
  const char* shared = std::getenv("TROVEL_BENCH_DB_DIR");
  if (shared && *shared) {
    const std::string path = (std::filesystem::path(shared) / name).string();
    if (database_detail::RowsIn(path) != rows) database_detail::Generate(path, rows);
    return shared_paths[rows] = path;
  }
  const std::string path =
      (std::filesystem::temp_directory_path() / (std::to_string(getpid()) + "_" + name)).string();
  database_detail::Generate(path, rows);
  return own.paths[rows] = path;
}

// The body of a benchmark program's main: makes the databases of each of
// `sizes` rows (a failure is printed, naming `program`, and gives 1), runs
// the benchmarks given on the command line, then `report`.
inline int RunOnDatabases(const char* program, const std::vector<int>& sizes, int& argc, char** argv,
                          const std::function<void()>& report) {
  try {
    for (int rows : sizes) BenchDatabase(rows);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", program, e.what());
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  report();
  return 0;
}

}  // namespace trovel::bench
