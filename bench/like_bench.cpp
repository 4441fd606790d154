// LIKE over 1,000,000 names: SQLite's built-in LIKE on a plain connection
// against the case-blind LIKE of SqliteConnection, in the same run, for the
// kinds of pattern the filter boxes send. Prints the ratio for each; ours
// should stay at or below 1.5x the built-in.
//
// Both databases live in memory, so the time is that of the scan and of the
// comparisons, not of reading a file. The ratios compare the best CPU time
// of nine runs each: the run least disturbed by whatever else the machine
// is doing.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <limits>
#include <map>
#include <string>

#include "bench/Summary.h"
#include "connectors/SqliteConnection.h"

namespace {

constexpr int kRows = 1000000;

// Names such as "Íñigo Núñez Castaño", built the same way in both databases.
std::string FillSql() {
  const char* const first[] = {"Ana",   "José",  "María", "Zoe",   "Íñigo", "Lucía", "Pedro",  "Sofía",
                               "Tomás", "Elena", "Raúl",  "Inés",  "Óscar", "Clara", "Andrés", "Beatriz"};
  const char* const last[] = {"García", "Pérez",   "López", "Martín", "Gómez",   "Ruiz",
                              "Díaz",   "Álvarez", "Muñoz", "Romero", "Castaño", "Núñez"};
  std::string sql = "create table nombres (k, v); create table apellidos (k, v);";
  for (int i = 0; i < 16; ++i) sql += "insert into nombres values (" + std::to_string(i) + ", '" + first[i] + "');";
  for (int i = 0; i < 12; ++i) sql += "insert into apellidos values (" + std::to_string(i) + ", '" + last[i] + "');";
  return sql +
         "create table clientes (nombre text);"
         "with recursive k(i) as (select 0 union all select i + 1 from k where i < " +
         std::to_string(kRows - 1) +
         ") insert into clientes select n.v || ' ' || a.v || ' ' || b.v from k"
         " join nombres n on n.k = k.i % 16 join apellidos a on a.k = (k.i / 16) % 12"
         " join apellidos b on b.k = (k.i / 192) % 12;";
}

std::string CountSql(const std::string& pattern) {
  return "select count(*) as n from clientes where nombre like '" + pattern + "'";
}

trovel::SqliteConnection& Ours() {
  static trovel::SqliteConnection* db = [] {
    auto* c = new trovel::SqliteConnection(":memory:");
    c->Execute(FillSql());
    return c;
  }();
  return *db;
}

sqlite3* BuiltIn() {
  static sqlite3* db = [] {
    sqlite3* d = nullptr;
    sqlite3_open(":memory:", &d);
    sqlite3_exec(d, FillSql().c_str(), nullptr, nullptr, nullptr);
    return d;
  }();
  return db;
}

int64_t CountOurs(const std::string& pattern) {
  std::string sql = CountSql(pattern);
  bool flag = false;
  return Ours().OpenCursor(sql, flag)->Fields().Item("n").ToDouble();
}

int64_t CountBuiltIn(const std::string& pattern) {
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(BuiltIn(), CountSql(pattern).c_str(), -1, &stmt, nullptr);
  int64_t n = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : -1;
  sqlite3_finalize(stmt);
  return n;
}

// CPU time of this thread: the machine may be busy with other work, and
// the ratio should not depend on it.
double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The best CPU time of each (engine, pattern), for the ratios printed at the end.
std::map<std::pair<bool, std::string>, double> g_best;

void Run(benchmark::State& state, bool ours, const std::string& pattern) {
  ours ? (void)Ours() : (void)BuiltIn();
  double& best = g_best.try_emplace({ours, pattern}, std::numeric_limits<double>::max()).first->second;
  int64_t found = 0;
  for (auto _ : state) {
    const double start = ThreadSeconds();
    found = ours ? CountOurs(pattern) : CountBuiltIn(pattern);
    best = std::min(best, ThreadSeconds() - start);
  }
  state.counters["found"] = static_cast<double>(found);
  state.SetItemsProcessed(state.iterations() * kRows);
}

// What a box sends for "ana garcía%", a search inside the name, and one in
// lower case that no box sends but a host's own statement may.
const char* const kPatterns[] = {"ANA GARCÍA%", "%NÚÑEZ%", "%garcía%"};

}  // namespace

int main(int argc, char** argv) {
  for (const char* pattern : kPatterns) {
    for (bool ours : {false, true}) {
      const std::string name = std::string(ours ? "BM_LikeOurs/" : "BM_LikeBuiltIn/") + pattern;
      benchmark::RegisterBenchmark(name.c_str(), [ours, pattern](benchmark::State& s) { Run(s, ours, pattern); })
          ->Unit(benchmark::kMillisecond)
          ->Iterations(9);
    }
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  for (const char* pattern : kPatterns) {
    const auto ours = g_best.find({true, pattern});
    const auto built_in = g_best.find({false, pattern});
    if (ours == g_best.end() || built_in == g_best.end()) continue;
    std::printf("like '%s': ours %.1f ms, built-in %.1f ms of CPU, ratio %.2fx (target <= 1.5x)\n", pattern,
                ours->second * 1e3, built_in->second * 1e3, ours->second / built_in->second);
    using namespace trovel::bench;
    Summary(std::string("like '") + pattern + "', case-blind, CPU", Count(kRows), Duration(ours->second),
            Duration(built_in->second) + " built-in LIKE", "-",
            Ratio(ours->second / built_in->second, "built-in", 1.5));
  }
  return 0;
}
