// The first block of a search on PostgreSQL, side by side in one run:
//
//   ctlTrovel reading its first 51 rows of a 1,000,000-row table, and of a
//   1,000-row table (target: within 1.2x: the first block costs the same
//   whatever the table's size);
//   a plain libpq cursor loop reading 52 rows of the large table (target: the
//   control within 1.5x of it);
//   Qt's QSqlQueryModel over the QPSQL driver showing the same 51 rows, which
//   reads the whole result before the first row.
//
// Each case also reports the client's peak memory while it ran (resident set
// above what it was before), which must stay flat in the table's size for the
// control. The server is the one whose address TROVEL_PG_BENCH holds;
// `make bench` starts a throw-away one and stops it afterwards.
#include <benchmark/benchmark.h>
#include <libpq-fe.h>

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQueryModel>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "bench/BenchControls.h"
#include "bench/PeakMeasure.h"
#include "bench/QtPgDatabase.h"
#include "bench/ServerBench.h"
#include "bench/Summary.h"
#include "connectors/OpenConnection.h"
#include "ctltrovel/ctlTrovel.h"
#include "platform/HeadlessHost.h"

namespace {

constexpr int kLarge = 1000000, kSmall = 1000;

std::string Address() { return trovel::bench::ServerAddress("TROVEL_PG_BENCH"); }

std::string Query(int rows) {
  return std::string("select codigo, nombre, saldo, alta from ") + (rows == kLarge ? "grande" : "chica");
}

void MakeTables() {
  std::string sql;
  for (auto [name, rows] : {std::pair{"grande", kLarge}, {"chica", kSmall}})
    sql += std::string("drop table if exists ") + name + "; create table " + name +
           " as select 'C' || lpad(i::text, 7, '0') as codigo, 'Cliente ' || i as nombre, i * 1.5 as saldo,"
           " date '2000-01-01' + i % 9000 as alta from generate_series(1, " +
           std::to_string(rows) +
           ") i;"
           " analyze " +
           name + ";";
  trovel::ExecuteScript(Address(), sql);
}

// ctlTrovel as the SQLite benchmarks set it up, over the table of `rows`
// rows on the server.
void Configure(trovel::ctlTrovel& ctl, int rows) {
  trovel::bench::ConfigureCtlTrovel(ctl, false);
  ctl.SentenciaSQL(Query(rows));
  ctl.glbDb(trovel::OpenConnection(Address()));
}

// Runs `read` inside a read-only transaction holding cursor c over the
// large table, as the connector does.
template <typename Read>
void WithCursor(PGconn* conn, Read read) {
  const std::string declare = "declare c no scroll cursor for " + Query(kLarge);
  for (const char* sql : {"begin read only", declare.c_str()}) PQclear(PQexec(conn, sql));
  read();
  for (const char* sql : {"close c", "commit"}) PQclear(PQexec(conn, sql));
}

void BM_CtlTrovelFirstBlock(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  trovel::HeadlessHost host;
  trovel::ctlTrovel ctl(host);
  Configure(ctl, rows);
  trovel::bench::MeasureFirstBlock(state, host, ctl, rows);
  ctl.Quit();
}

void BM_PlainLibpqCursor(benchmark::State& state) {
  PGconn* conn = PQconnectdb(Address().c_str());
  if (PQstatus(conn) != CONNECTION_OK) state.SkipWithError(PQerrorMessage(conn));
  trovel::bench::MeasureWithPeak(state, "libpq", [&] {
    WithCursor(conn, [&] {
      PGresult* r = PQexec(conn, "fetch forward 52 from c");
      for (int row = 0; row < PQntuples(r); ++row)
        for (int col = 0; col < 4; ++col) benchmark::DoNotOptimize(std::string(PQgetvalue(r, row, col)));
      if (PQntuples(r) != 52) state.SkipWithError("the cursor gave no 52 rows");
      PQclear(r);
    });
  });
  PQfinish(conn);
}

void BM_QSqlQueryModel(benchmark::State& state) {
  {
    QSqlDatabase db = trovel::bench::AddQPsqlDatabase("bench", Address());
    if (!db.open()) state.SkipWithError(db.lastError().text().toStdString().c_str());
    trovel::bench::MeasureWithPeak(state, "QSqlQueryModel", [&] {
      QSqlQueryModel model;
      model.setQuery(QString::fromStdString(Query(kLarge)), db);
      for (int row = 0; row < 51; ++row)
        for (int col = 0; col < 4; ++col) benchmark::DoNotOptimize(model.data(model.index(row, col)));
      if (model.lastError().isValid()) state.SkipWithError(model.lastError().text().toStdString().c_str());
    });
  }
  QSqlDatabase::removeDatabase("bench");
}

// Paging: the read, then next presses until 100,000 rows are in the grid,
// against a plain libpq cursor fetching the same rows in batches of 2,048
// (the connector's own batch after the first) and reading each as text.
constexpr int kPagingRows = 100000;
std::map<std::string, int> g_paged_rows;

void BM_CtlTrovelPaging(benchmark::State& state) {
  trovel::HeadlessHost host;
  trovel::ctlTrovel ctl(host);
  Configure(ctl, kLarge);
  g_paged_rows["paging ctlTrovel"] = trovel::bench::MeasurePaging(state, host, ctl, kPagingRows);
  ctl.Quit();
}

void BM_PlainLibpqPaging(benchmark::State& state) {
  PGconn* conn = PQconnectdb(Address().c_str());
  if (PQstatus(conn) != CONNECTION_OK) state.SkipWithError(PQerrorMessage(conn));
  trovel::bench::MeasureWithPeak(state, "paging libpq", [&] {
    WithCursor(conn, [&] {
      int rows = 0;
      while (rows < kPagingRows) {
        PGresult* r = PQexec(conn, "fetch forward 2048 from c");
        const int n = PQntuples(r);
        for (int row = 0; row < n; ++row)
          for (int col = 0; col < 4; ++col)
            benchmark::DoNotOptimize(
                std::string(PQgetvalue(r, row, col), static_cast<size_t>(PQgetlength(r, row, col))));
        PQclear(r);
        if (n == 0) break;
        rows += n;
      }
      g_paged_rows["paging libpq"] = rows;
      if (rows < kPagingRows) state.SkipWithError("the cursor gave fewer than 100,000 rows");
    });
  });
  PQfinish(conn);
}

BENCHMARK(BM_CtlTrovelPaging)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_PlainLibpqPaging)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);

BENCHMARK(BM_CtlTrovelFirstBlock)
    ->Arg(kLarge)
    ->Arg(kSmall)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(200)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PlainLibpqCursor)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(200)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_QSqlQueryModel)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  return trovel::bench::RunOnServer("pg_bench", "TROVEL_PG_BENCH", argc, argv, MakeTables, [] {
    const std::map<std::string, std::pair<double, double>> r = trovel::bench::MeasuredCases();
    if (r.count("paging ctlTrovel") && r.count("paging libpq")) {
      const double trovel = r.at("paging ctlTrovel").first * 1e9 / g_paged_rows["paging ctlTrovel"];
      const double plain = r.at("paging libpq").first * 1e9 / g_paged_rows["paging libpq"];
      std::printf(
          "ctlTrovel paging to 100,000 rows: %.0f ns/row against %.0f ns/row for a plain libpq cursor: %.2fx "
          "(target <= 1.2x)\n",
          trovel, plain, trovel / plain);
      using namespace trovel::bench;
      Summary("paging ctlTrovel, next presses, PostgreSQL", Count(g_paged_rows["paging ctlTrovel"]),
              Figure(trovel, "ns/row"), Figure(plain, "ns/row") + " libpq cursor", "-",
              Ratio(trovel / plain, "plain", 1.2));
    }
    if (r.count("ctlTrovel 1000000") && r.count("ctlTrovel 1000") && r.count("libpq") && r.count("QSqlQueryModel")) {
      const double large = r.at("ctlTrovel 1000000").first, small = r.at("ctlTrovel 1000").first;
      std::printf("ctlTrovel first block, 1,000,000 / 1,000 rows: %.2fx (target <= 1.2x)\n", large / small);
      std::printf("ctlTrovel / plain libpq cursor reading 52 rows: %.2fx (target <= 1.5x)\n",
                  large / r.at("libpq").first);
      std::printf("QSqlQueryModel over QPSQL / ctlTrovel, 1,000,000 rows: %.0fx (%.0f ms against %.2f ms)\n",
                  r.at("QSqlQueryModel").first / large, r.at("QSqlQueryModel").first * 1e3, large * 1e3);
      std::printf("client peak memory: ctlTrovel %.1f MB on 1,000,000 rows, %.1f MB on 1,000; QSqlQueryModel %.1f MB\n",
                  r.at("ctlTrovel 1000000").second, r.at("ctlTrovel 1000").second, r.at("QSqlQueryModel").second);
      using namespace trovel::bench;
      Summary("first block ctlTrovel, PostgreSQL", Count(kLarge), Duration(large),
              Duration(r.at("libpq").first) + " libpq cursor", Duration(r.at("QSqlQueryModel").first) + " QPSQL",
              Ratio(large / r.at("libpq").first, "plain", 1.5) + "; " + Ratio(large / small, "1M/1k", 1.2));
      Summary("client peak memory ctlTrovel, PostgreSQL", Count(kLarge), Figure(r.at("ctlTrovel 1000000").second, "MB"),
              Figure(r.at("ctlTrovel 1000").second, "MB") + " on 1,000 rows",
              Figure(r.at("QSqlQueryModel").second, "MB") + " QPSQL", "-");
    }
  });
}
