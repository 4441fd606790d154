// Memory per grid row on SQLite: the peak resident bytes each contender adds
// while it takes in the 100,000 rows of the 100,000-row table, per row:
//
//   ctlTrovel and ctlTrovel2 on a headless host, read button then next
//   presses until the grid holds all 100,000 rows (numbers and dates
//   formatted, as in paging_bench);
//   Qt's QSqlQueryModel over QSQLITE holding the same rows, fetched fully
//   (fetchMore while canFetchMore).
//
// Each contender runs in a fork()ed child of its own, so that what one leaves
// allocated does not count for the next: the child sets everything up, gives
// its free heap memory back (malloc_trim), resets its peak resident set
// (Linux: /proc/self/clear_refs 5), reads VmRSS, takes in the rows, reads the
// peak VmHWM and writes the figures to a pipe.
// Beside them, the bytes of the cell texts per row: what the grid has to hold
// at the least. Printed: each control / QSqlQueryModel (target <= 0.5x).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQueryModel>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <memory>

#include "bench/BenchControls.h"
#include "bench/BenchDatabase.h"
#include "bench/Summary.h"
#include "connectors/SqliteConnection.h"
#include "platform/HeadlessHost.h"
#include "platform/MemoryPropertyBag.h"

namespace {

using namespace trovel;
using namespace trovel::bench;

constexpr int kRows = 100000;

// What a child reports.
struct Figures {
  double rows = 0;
  double peak_bytes = 0;   // peak resident set above the start
  double after_bytes = 0;  // resident set above the start once all rows are in
  double text_bytes = 0;   // bytes of the cell texts, all rows
  bool ok = false;
};

std::map<std::string, Figures> g_figures;

// Bytes of the process's resident set ("VmRSS") or of its peak ("VmHWM").
double StatusBytes(const std::string& key) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(key + ":", 0) == 0) return std::stod(line.substr(key.size() + 1)) * 1024;
  return 0;
}

// The resident set now; from here on VmHWM reads the peak since this call.
// Free heap memory goes back to the system first: the child inherits the
// parent's heap, and rows put into pages that were free but resident would
// not show in the resident set.
double StartMeasuring() {
  malloc_trim(0);
  std::ofstream("/proc/self/clear_refs") << "5";
  return StatusBytes("VmRSS");
}

// Runs `work` in a child process and returns what it reported.
Figures InChild(const std::function<Figures()>& work) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    Figures f;
    try {
      f = work();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "memory_bench child: %s\n", e.what());
      f.ok = false;
    }
    const ssize_t written = write(fds[1], &f, sizeof f);
    _exit(written == static_cast<ssize_t>(sizeof f) ? 0 : 1);  // no atexit work: the files are the parent's
  }
  close(fds[1]);
  Figures f;
  if (child < 0 || read(fds[0], &f, sizeof f) != static_cast<ssize_t>(sizeof f)) f.ok = false;
  close(fds[0]);
  if (child > 0) waitpid(child, nullptr, 0);
  return f;
}

// Takes in every row through `ctl`, whose connection is set.
template <typename Control>
Figures ControlFigures(Control& ctl, HeadlessHost& host) {
  Figures f;
  const double start = StartMeasuring();
  const PagingTimes t = PageUntil(ctl, kRows, [&] { ctl.p_leer(); }, [&] { ctl.cmdSiguiente.Click(); });
  f.peak_bytes = StatusBytes("VmHWM") - start;
  f.after_bytes = StatusBytes("VmRSS") - start;
  f.rows = t.rows;
  for (int r = 1; r < ctl.grdDatos.Rows(); ++r)
    for (int c = 0; c < ctl.grdDatos.Cols(); ++c)
      f.text_bytes += static_cast<double>(ctl.grdDatos.TextMatrix(r, c).size());
  f.ok = t.rows == kRows && host.messages.empty();
  return f;
}

void Report(benchmark::State& state, const std::string& who, const Figures& f) {
  if (!f.ok) return state.SkipWithError("the child did not take in 100,000 rows");
  g_figures[who] = f;
  state.counters["peak_bytes_per_row"] = f.peak_bytes / f.rows;
  state.counters["resident_bytes_per_row"] = f.after_bytes / f.rows;
  if (f.text_bytes > 0) state.counters["text_bytes_per_row"] = f.text_bytes / f.rows;
}

void BM_CtlTrovelMemory(benchmark::State& state) {
  for (auto _ : state) {
    Report(state, "ctlTrovel", InChild([] {
             HeadlessHost host;
             ctlTrovel ctl(host);
             ConfigureCtlTrovel(ctl, true);
             ctl.glbDb(std::make_shared<SqliteConnection>(BenchDatabase(kRows)));
             return ControlFigures(ctl, host);
           }));
  }
}

void BM_CtlTrovel2Memory(benchmark::State& state) {
  for (auto _ : state) {
    Report(state, "ctlTrovel2", InChild([] {
             HeadlessHost host;
             ctlTrovel2 ctl(host);
             MemoryPropertyBag bag;
             ctl.ReadProperties(bag);
             ConfigureCtlTrovel2(ctl, true);
             ctl.glbDb(std::make_shared<SqliteConnection>(BenchDatabase(kRows)));
             return ControlFigures(ctl, host);
           }));
  }
}

void BM_QSqlQueryModelMemory(benchmark::State& state) {
  for (auto _ : state) {
    Report(state, "QSqlQueryModel", InChild([] {
             Figures f;
             QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "memory");
             db.setDatabaseName(QString::fromStdString(BenchDatabase(kRows)));
             if (!db.open()) return f;
             HeadlessHost host;
             ctlTrovel statement_of(host);
             ConfigureCtlTrovel(statement_of, true);
             const QString sql = QString::fromStdString(statement_of.BuildStatement());
             QSqlQueryModel model;
             const double start = StartMeasuring();
             model.setQuery(sql, db);
             while (model.canFetchMore()) model.fetchMore();
             f.peak_bytes = StatusBytes("VmHWM") - start;
             f.after_bytes = StatusBytes("VmRSS") - start;
             f.rows = model.rowCount();
             f.ok = model.rowCount() == kRows && !model.lastError().isValid();
             return f;
           }));
  }
}

BENCHMARK(BM_CtlTrovelMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_CtlTrovel2Memory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_QSqlQueryModelMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

void PrintReport() {
  std::printf("\nmemory after 100,000 rows, bytes per grid row (peak resident set above the start):\n");
  const bool has_model = g_figures.count("QSqlQueryModel");
  const Figures model = has_model ? g_figures.at("QSqlQueryModel") : Figures{};
  if (has_model)
    std::printf("  QSqlQueryModel  peak %s, resident after %s\n", Figure(model.peak_bytes / model.rows, "B").c_str(),
                Figure(model.after_bytes / model.rows, "B").c_str());
  for (const char* control : {"ctlTrovel", "ctlTrovel2"}) {
    if (!g_figures.count(control)) continue;
    const Figures& f = g_figures.at(control);
    const double per_row = f.peak_bytes / f.rows, text = f.text_bytes / f.rows;
    std::string ratios = has_model ? Ratio(per_row / (model.peak_bytes / model.rows), "QSqlQueryModel", 0.5) : "-";
    ratios += "; " + Ratio(per_row / text, "cell texts");
    std::printf("  %-15s peak %s, resident after %s, cell texts %s: %s\n", control, Figure(per_row, "B").c_str(),
                Figure(f.after_bytes / f.rows, "B").c_str(), Figure(text, "B").c_str(), ratios.c_str());
    Summary(std::string("memory ") + control + ", peak per grid row", Count(static_cast<long long>(f.rows)),
            Figure(per_row, "B/row"), Figure(text, "B/row") + " cell texts",
            has_model ? Figure(model.peak_bytes / model.rows, "B/row") : "-", ratios);
  }
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  return RunOnDatabases("memory_bench", {kRows}, argc, argv, PrintReport);
}
