// Streams a 1,000,000-row table through SqliteConnection and through a plain
// sqlite3 prepare/step loop in the same run, and prints the ratio of the two.
// The connector's overhead should stay at or below 1.5x the plain loop. The
// table is that of bench/BenchDatabase.h, shared with the other benchmarks.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>

#include "bench/BenchDatabase.h"
#include "bench/Summary.h"
#include "connectors/SqliteConnection.h"

namespace {

constexpr int kRows = 1000000;
const std::string kQuery = "select codigo, nombre, saldo, alta from clientes";

std::string DatabasePath() { return trovel::bench::BenchDatabase(kRows); }

int64_t StreamConnector() {
  trovel::SqliteConnection db(DatabasePath());
  std::string sql = kQuery;
  bool flag = false;
  auto cursor = db.OpenCursor(sql, flag);
  int64_t n = 0;
  while (!cursor->AtEnd()) {
    const trovel::Fields& f = cursor->Fields();
    benchmark::DoNotOptimize(f.Item("codigo"));
    benchmark::DoNotOptimize(f.Item("nombre"));
    benchmark::DoNotOptimize(f.Item("saldo"));
    benchmark::DoNotOptimize(f.Item("alta"));
    cursor->MoveNext();
    ++n;
  }
  cursor->Close();
  return n;
}

int64_t StreamPlain() {
  sqlite3* db = nullptr;
  sqlite3_open(DatabasePath().c_str(), &db);
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, kQuery.c_str(), -1, &stmt, nullptr);
  int64_t n = 0;
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    for (int c = 0; c < 4; ++c) {
      if (sqlite3_column_type(stmt, c) == SQLITE_FLOAT) {
        benchmark::DoNotOptimize(trovel::Variant(sqlite3_column_double(stmt, c)));
      } else {
        const char* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
        benchmark::DoNotOptimize(trovel::Variant(std::string(t, static_cast<size_t>(sqlite3_column_bytes(stmt, c)))));
      }
    }
    ++n;
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return n;
}

double g_connector_seconds = 0, g_plain_seconds = 0;

template <int64_t (*Stream)()>
void Run(benchmark::State& state, double& seconds) {
  DatabasePath();
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(Stream());
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_StreamConnector(benchmark::State& s) { Run<StreamConnector>(s, g_connector_seconds); }
void BM_StreamPlainSqlite(benchmark::State& s) { Run<StreamPlain>(s, g_plain_seconds); }
BENCHMARK(BM_StreamConnector)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_StreamPlainSqlite)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (g_plain_seconds > 0) {
    std::printf("connector / plain sqlite3 loop: %.2fx (target <= 1.5x)\n", g_connector_seconds / g_plain_seconds);
    using namespace trovel::bench;
    Summary("stream SqliteConnection cursor, whole table", Count(kRows), Duration(g_connector_seconds),
            Duration(g_plain_seconds) + " sqlite3 loop", "-",
            Ratio(g_connector_seconds / g_plain_seconds, "plain", 1.5));
  }
  return 0;
}
