// The first block of a search on SQLite: from the read button to 51 rows in
// the grid, through ctlTrovel and through ctlTrovel2 on a headless host, on
// tables of 1,000, 100,000 and 1,000,000 rows, without ORDER BY and with
// ORDER BY codigo (an indexed column). Beside them, on the same file and
// with the statement the control sends:
//
//   a plain sqlite3 loop: prepare, step 52 times reading each column as
//   text (a std::string per cell), finalize;
//   Qt's QSqlQueryModel over QSQLITE: setQuery with its first fetch, then
//   data() of the 51 rows' cells.
//
// Printed: each control / the plain loop for every size and order (target
// <= 1.5x), and each control's first block on 1,000,000 rows / on 1,000.
// Every figure is the median of the timed reads (each read timed alone).
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQueryModel>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "bench/BenchControls.h"
#include "bench/BenchDatabase.h"
#include "bench/Summary.h"
#include "bench/Timing.h"
#include "connectors/SqliteConnection.h"
#include "platform/HeadlessHost.h"
#include "platform/MemoryPropertyBag.h"

namespace {

using namespace trovel;
using namespace trovel::bench;

constexpr int kSizes[] = {1000, 100000, 1000000};
constexpr int kControlReads = 300, kPlainReads = 300, kModelReads = 60;

Runs g_runs;

std::string Key(const std::string& who, int rows, bool order) {
  return who + "/" + std::to_string(rows) + (order ? "/order" : "/plain");
}

// The statement both controls send for this order (they build the same one).
std::string Statement(bool order) {
  HeadlessHost host;
  ctlTrovel ctl(host);
  ConfigureCtlTrovel(ctl, order);
  return ctl.BuildStatement();
}

// Times `read` once per iteration after one untimed read; `check` says
// whether a read showed what it should.
template <typename Read, typename Check>
void TimeReads(benchmark::State& state, const std::string& key, Read read, Check check) {
  read();
  if (!check()) return state.SkipWithError("the first read did not show 51 rows");
  for (auto _ : state) {
    g_runs.Add(key, Seconds(read));
    if (!check()) return state.SkipWithError("a read did not show 51 rows");
  }
  state.counters["median_us"] = g_runs.Median(key) * 1e6;
}

void CtlTrovelFirstBlock(benchmark::State& state, int rows, bool order) {
  HeadlessHost host;
  ctlTrovel ctl(host);
  ConfigureCtlTrovel(ctl, order);
  ctl.glbDb(std::make_shared<SqliteConnection>(BenchDatabase(rows)));
  TimeReads(
      state, Key("ctlTrovel", rows, order), [&] { ctl.p_leer(); },
      [&] { return DataRows(ctl) == kBlockRows && host.messages.empty(); });
  ctl.Quit();
}

void CtlTrovel2FirstBlock(benchmark::State& state, int rows, bool order) {
  HeadlessHost host;
  ctlTrovel2 ctl(host);
  MemoryPropertyBag bag;
  ctl.ReadProperties(bag);
  ConfigureCtlTrovel2(ctl, order);
  ctl.glbDb(std::make_shared<SqliteConnection>(BenchDatabase(rows)));
  // The read button reads in filter mode and goes back to it in results
  // mode: the way back is outside the timed read.
  auto read = [&] {
    ctl.p_leer();
  };
  auto check = [&] {
    const bool shown = DataRows(ctl) == kBlockRows && host.messages.empty();
    if (ctl.Leido()) ctl.p_leer();
    return shown;
  };
  TimeReads(state, Key("ctlTrovel2", rows, order), read, check);
  ctl.Quit();
}

void PlainFirstBlock(benchmark::State& state, int rows, bool order) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(BenchDatabase(rows).c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  const std::string sql = Statement(order);
  int read_rows = 0;
  TimeReads(
      state, Key("sqlite3", rows, order),
      [&] {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
        read_rows = 0;
        while (read_rows < kBlockRows + 1 && sqlite3_step(stmt) == SQLITE_ROW) {
          for (int c = 0; c < 4; ++c) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
            std::string cell(text, static_cast<size_t>(sqlite3_column_bytes(stmt, c)));
            benchmark::DoNotOptimize(cell);
          }
          ++read_rows;
        }
        sqlite3_finalize(stmt);
      },
      [&] { return read_rows == kBlockRows + 1; });
  sqlite3_close(db);
}

void ModelFirstBlock(benchmark::State& state, int rows, bool order) {
  const QString name = QString("first_block_%1").arg(rows);
  {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
    db.setDatabaseName(QString::fromStdString(BenchDatabase(rows)));
    if (!db.open()) return state.SkipWithError(db.lastError().text().toStdString().c_str());
    const QString sql = QString::fromStdString(Statement(order));
    int shown = 0;
    TimeReads(
        state, Key("QSqlQueryModel", rows, order),
        [&] {
          QSqlQueryModel model;
          model.setQuery(sql, db);
          for (int row = 0; row < kBlockRows; ++row)
            for (int col = 0; col < 4; ++col) benchmark::DoNotOptimize(model.data(model.index(row, col)));
          shown = model.lastError().isValid() ? 0 : std::min(model.rowCount(), kBlockRows);
        },
        [&] { return shown == kBlockRows; });
  }
  QSqlDatabase::removeDatabase(name);
}

void Register() {
  struct Contender {
    const char* name;
    void (*run)(benchmark::State&, int, bool);
    int reads;
  };
  const Contender contenders[] = {{"BM_CtlTrovel", CtlTrovelFirstBlock, kControlReads},
                                  {"BM_CtlTrovel2", CtlTrovel2FirstBlock, kControlReads},
                                  {"BM_PlainSqlite3", PlainFirstBlock, kPlainReads},
                                  {"BM_QSqlQueryModel", ModelFirstBlock, kModelReads}};
  for (int rows : kSizes)
    for (bool order : {false, true})
      for (const Contender& c : contenders) {
        const std::string name = std::string(c.name) + "/" + std::to_string(rows) + (order ? "/order_by_codigo" : "");
        auto run = c.run;
        benchmark::RegisterBenchmark(name.c_str(), [run, rows, order](benchmark::State& s) { run(s, rows, order); })
            ->Unit(benchmark::kMicrosecond)
            ->Iterations(c.reads);
      }
}

void Report() {
  std::printf("\nfirst block, median of the timed reads:\n");
  for (bool order : {false, true}) {
    const std::string order_text = order ? "order by codigo" : "no order";
    for (const char* control : {"ctlTrovel", "ctlTrovel2"}) {
      for (int rows : kSizes) {
        const std::string key = Key(control, rows, order), plain = Key("sqlite3", rows, order),
                          model = Key("QSqlQueryModel", rows, order);
        if (!g_runs.Has(key) || !g_runs.Has(plain)) continue;
        const double t = g_runs.Median(key), floor = g_runs.Median(plain);
        const bool has_model = g_runs.Has(model);
        std::string ratios = Ratio(t / floor, "plain", 1.5);
        if (rows == kSizes[2] && g_runs.Has(Key(control, kSizes[0], order)))
          ratios += "; " + Ratio(t / g_runs.Median(Key(control, kSizes[0], order)), "1M/1k");
        if (has_model) ratios += "; " + Ratio(t / g_runs.Median(model), "QSqlQueryModel");
        std::printf("  %-10s %-15s %9s rows: %s, sqlite3 loop %s, QSqlQueryModel %s: %s\n", control,
                    order_text.c_str(), Count(rows).c_str(), Duration(t).c_str(), Duration(floor).c_str(),
                    has_model ? Duration(g_runs.Median(model)).c_str() : "-", ratios.c_str());
        Summary(std::string("first block ") + control + ", " + order_text, Count(rows), Duration(t),
                Duration(floor) + " sqlite3 loop", has_model ? Duration(g_runs.Median(model)) : "-", ratios);
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  Register();
  return RunOnDatabases("first_block_bench", {std::begin(kSizes), std::end(kSizes)}, argc, argv, Report);
}
