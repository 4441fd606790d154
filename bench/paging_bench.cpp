// Paging on SQLite: the read button, then next presses until 100,000 rows are
// in the grid (1,961 blocks of 51), through ctlTrovel and ctlTrovel2 on a
// headless host, from the 1,000,000-row table in table order and in codigo
// order (indexed), with
// numbers and dates formatted (ctlTrovel: alta typed "FEC"; ctlTrovel2: saldo
// with the Format "#,##0.00", alta a date column). Beside them, on the same
// file and statement:
//
//   a plain sqlite3 loop stepping through 100,000 rows, reading each column
//   as text (a std::string per cell);
//   Qt's QSqlQueryModel over QSQLITE: setQuery, then fetchMore while
//   canFetchMore until rowCount >= 100,000, reading data() of every cell of
//   every fetched row (a QVariant each, not turned into text).
//
// Printed: ns per row of each (the median of the runs over the rows each
// read), each control / the plain loop (target <= 1.5x) and / QSqlQueryModel
// (target <= 1.0x), and the last next press against the first read, which
// tells whether a block costs more once the grid is long.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQueryModel>
#include <cstdio>
#include <map>
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

constexpr int kTable = 1000000, kRows = 100000, kRepetitions = 5;

// Each contender pages in table order (the database reads its pages one
// after the other) and in codigo order (through the index, a page of the
// table for nearly every row, so the file's reads dominate).
std::string OrderName(bool order) { return order ? "order by codigo" : "no order"; }
std::string Key(const std::string& who, bool order) { return who + "/" + OrderName(order); }

Runs g_ns_per_row, g_read, g_first_press, g_last_press;
std::map<std::string, int> g_rows;

std::string Statement(bool order) {
  HeadlessHost host;
  ctlTrovel ctl(host);
  ConfigureCtlTrovel(ctl, order);
  return ctl.BuildStatement();
}

void Record(benchmark::State& state, const std::string& who, double seconds, int rows) {
  g_ns_per_row.Add(who, seconds * 1e9 / rows);
  g_rows[who] = rows;
  state.counters["ns_per_row"] = seconds * 1e9 / rows;
  state.counters["rows"] = rows;
}

void RecordPaging(benchmark::State& state, const std::string& who, const PagingTimes& t, size_t messages) {
  if (t.rows < kRows || messages) return state.SkipWithError("the grid did not reach 100,000 rows");
  Record(state, who, t.total, t.rows);
  g_read.Add(who, t.read);
  g_first_press.Add(who, t.presses.front());
  g_last_press.Add(who, t.presses.back());
  state.counters["presses"] = static_cast<double>(t.presses.size());
}

void BM_CtlTrovelPaging(benchmark::State& state) {
  const bool order = state.range(0) != 0;
  for (auto _ : state) {
    HeadlessHost host;
    ctlTrovel ctl(host);
    ConfigureCtlTrovel(ctl, order);
    ctl.glbDb(std::make_shared<SqliteConnection>(BenchDatabase(kTable)));
    const PagingTimes t = PageUntil(ctl, kRows, [&] { ctl.p_leer(); }, [&] { ctl.cmdSiguiente.Click(); });
    RecordPaging(state, Key("ctlTrovel", order), t, host.messages.size());
    ctl.Quit();
  }
}

void BM_CtlTrovel2Paging(benchmark::State& state) {
  const bool order = state.range(0) != 0;
  for (auto _ : state) {
    HeadlessHost host;
    ctlTrovel2 ctl(host);
    MemoryPropertyBag bag;
    ctl.ReadProperties(bag);
    ConfigureCtlTrovel2(ctl, order);
    ctl.glbDb(std::make_shared<SqliteConnection>(BenchDatabase(kTable)));
    const PagingTimes t = PageUntil(ctl, kRows, [&] { ctl.p_leer(); }, [&] { ctl.cmdSiguiente.Click(); });
    RecordPaging(state, Key("ctlTrovel2", order), t, host.messages.size());
    ctl.Quit();
  }
}

void BM_PlainSqlite3(benchmark::State& state) {
  const bool order = state.range(0) != 0;
  sqlite3* db = nullptr;
  sqlite3_open_v2(BenchDatabase(kTable).c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  const std::string sql = Statement(order);
  for (auto _ : state) {
    int rows = 0;
    const double seconds = Seconds([&] {
      sqlite3_stmt* stmt = nullptr;
      sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
      while (rows < kRows && sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < 4; ++c) {
          const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
          std::string cell(text, static_cast<size_t>(sqlite3_column_bytes(stmt, c)));
          benchmark::DoNotOptimize(cell);
        }
        ++rows;
      }
      sqlite3_finalize(stmt);
    });
    if (rows < kRows) return state.SkipWithError("the loop read fewer than 100,000 rows");
    Record(state, Key("sqlite3", order), seconds, rows);
  }
  sqlite3_close(db);
}

void BM_QSqlQueryModel(benchmark::State& state) {
  const bool order = state.range(0) != 0;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "paging");
    db.setDatabaseName(QString::fromStdString(BenchDatabase(kTable)));
    if (!db.open()) return state.SkipWithError(db.lastError().text().toStdString().c_str());
    const QString sql = QString::fromStdString(Statement(order));
    for (auto _ : state) {
      QSqlQueryModel model;
      const double seconds = Seconds([&] {
        model.setQuery(sql, db);
        int read = 0;
        for (;;) {
          for (; read < model.rowCount(); ++read)
            for (int col = 0; col < 4; ++col) benchmark::DoNotOptimize(model.data(model.index(read, col)));
          if (model.rowCount() >= kRows || !model.canFetchMore()) break;
          model.fetchMore();
        }
      });
      if (model.rowCount() < kRows || model.lastError().isValid())
        return state.SkipWithError("the model did not fetch 100,000 rows");
      Record(state, Key("QSqlQueryModel", order), seconds, model.rowCount());
    }
  }
  QSqlDatabase::removeDatabase("paging");
}

// The four contenders take turns within each order, so that the file's
// pages in the system's cache serve them alike.
void Register() {
  for (int order : {0, 1}) {
    const std::string suffix = "/" + OrderName(order);
    for (auto [name, function] : {std::pair{"BM_CtlTrovelPaging", &BM_CtlTrovelPaging},
                                  {"BM_CtlTrovel2Paging", &BM_CtlTrovel2Paging}, {"BM_PlainSqlite3", &BM_PlainSqlite3},
                                  {"BM_QSqlQueryModel", &BM_QSqlQueryModel}})
      benchmark::RegisterBenchmark((name + suffix).c_str(), function)
          ->Arg(order)
          ->Unit(benchmark::kMillisecond)
          ->Iterations(1)
          ->Repetitions(kRepetitions);
  }
}

void Report(bool order) {
  const std::string how = OrderName(order);
  if (!g_ns_per_row.Has(Key("sqlite3", order))) return;
  const double plain = g_ns_per_row.Median(Key("sqlite3", order));
  const bool has_model = g_ns_per_row.Has(Key("QSqlQueryModel", order));
  const double model = has_model ? g_ns_per_row.Median(Key("QSqlQueryModel", order)) : 0;
  std::printf("\npaging to 100,000 rows, %s, median of %d runs, per row:\n", how.c_str(), kRepetitions);
  std::printf("  sqlite3 loop    %s/row over %s rows\n", Figure(plain, "ns").c_str(),
              Count(g_rows[Key("sqlite3", order)]).c_str());
  if (has_model)
    std::printf("  QSqlQueryModel  %s/row over %s rows (data() of every cell read)\n", Figure(model, "ns").c_str(),
                Count(g_rows[Key("QSqlQueryModel", order)]).c_str());
  for (const std::string control : {"ctlTrovel", "ctlTrovel2"}) {
    const std::string key = Key(control, order);
    if (!g_ns_per_row.Has(key)) continue;
    const double t = g_ns_per_row.Median(key);
    std::string ratios = Ratio(t / plain, "plain", 1.5);
    if (has_model) ratios += "; " + Ratio(t / model, "QSqlQueryModel", 1.0);
    std::printf("  %-15s %s/row over %s rows: %s\n", control.c_str(), Figure(t, "ns").c_str(),
                Count(g_rows[key]).c_str(), ratios.c_str());
    const double read = g_read.Median(key), first = g_first_press.Median(key), last = g_last_press.Median(key);
    std::printf("  %-15s first read %s, first next press %s, last next press %s: last / first read %.2fx, "
                "last / first press %.2fx\n",
                control.c_str(), Duration(read).c_str(), Duration(first).c_str(), Duration(last).c_str(), last / read,
                last / first);
    Summary("paging " + control + ", next presses, " + how, Count(g_rows[key]),
            Figure(t, "ns/row"), Figure(plain, "ns/row") + " sqlite3 loop",
            has_model ? Figure(model, "ns/row") : "-", ratios);
    Summary("paging " + control + ", last block against first read, " + how, Count(g_rows[key]),
            Duration(last) + " last press", Duration(read) + " first read", "-",
            Ratio(last / read, "first read") + "; " + Ratio(last / first, "first press"));
  }
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  Register();
  return RunOnDatabases("paging_bench", {kTable}, argc, argv, [] {
    Report(false);
    Report(true);
  });
}
