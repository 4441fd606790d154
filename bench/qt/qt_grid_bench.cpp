// The Qt grid over 100,000 rows: filling it through the view's table model,
// and scrolling a page at a time, which must cost the same wherever in the
// grid it happens (only the rows on screen are read).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>
#include <QWidget>
#include <cstdio>

#include "bench/Summary.h"
#include "bench/Timing.h"
#include "bench/qt/QtBenchmarkMain.h"
#include "platform/FlexGrid.h"
#include "qt/GridView.h"
#include "qt/QtHost.h"

namespace {

constexpr int kRows = 100000;
const std::string kRow = "A0001\tCliente de prueba\tMadrid\t25/12/2001\t1234.50";

// CPU seconds of this thread per row appended, and per page scrolled at the
// top and at the bottom, of the last run of each: the run the library reports.
double g_append_per_row = 0;
double g_page[2] = {0, 0};

void Fill(trovel::FlexGrid& grid, int rows) {
  grid.SetCols(5);
  for (int i = 0; i < rows; ++i) grid.AddItem(kRow);
}

void BM_QtGridAppend(benchmark::State& state) {
  trovel::qt::QtHost host;
  const double start = trovel::bench::ThreadSeconds();
  for (auto _ : state) {
    trovel::FlexGrid grid("grdDatos");
    QWidget parent;
    trovel::qt::GridView view(host, grid, &parent);
    Fill(grid, kRows);
    benchmark::DoNotOptimize(view.model()->rowCount());
  }
  g_append_per_row = (trovel::bench::ThreadSeconds() - start) / (static_cast<double>(state.iterations()) * kRows);
  state.counters["per_row"] = benchmark::Counter(static_cast<double>(state.iterations()) * kRows,
                                                 benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_QtGridAppend)->Unit(benchmark::kMillisecond);

// One page of scrolling, painted, at the top (0) or the bottom (1) of the grid.
void BM_QtGridScrollPage(benchmark::State& state) {
  trovel::qt::QtHost host;
  trovel::FlexGrid grid("grdDatos");
  QWidget parent;
  parent.resize(600, 400);
  trovel::qt::GridView view(host, grid, &parent);
  grid.Move(0, 0, 9000, 6000);
  Fill(grid, kRows);
  QScrollBar* bar = view.verticalScrollBar();
  const int start = state.range(0) ? bar->maximum() - 200 * bar->pageStep() : 0;
  int at = start;
  QImage canvas(view.viewport()->size(), QImage::Format_ARGB32);
  const double begin = trovel::bench::ThreadSeconds();
  for (auto _ : state) {
    at += bar->pageStep();
    if (at > bar->maximum()) at = start;
    bar->setValue(at);
    view.viewport()->render(&canvas);
  }
  g_page[state.range(0)] = (trovel::bench::ThreadSeconds() - begin) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_QtGridScrollPage)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void Report() {
  using namespace trovel::bench;
  if (g_append_per_row > 0)
    Summary("Qt GridView, rows appended through its table model", Count(kRows), Duration(g_append_per_row) + "/row",
            "-", "-", "-");
  if (g_page[0] > 0 && g_page[1] > 0) {
    std::printf("Qt GridView, a page scrolled and painted: %s at the bottom, %s at the top: %.2fx\n",
                Duration(g_page[1]).c_str(), Duration(g_page[0]).c_str(), g_page[1] / g_page[0]);
    Summary("Qt GridView, a page scrolled and painted, at the bottom", Count(kRows), Duration(g_page[1]),
            Duration(g_page[0]) + " at the top", "-", Ratio(g_page[1] / g_page[0], "at the top"));
  }
}

}  // namespace

TROVEL_QT_BENCHMARK_MAIN_THEN(Report)
