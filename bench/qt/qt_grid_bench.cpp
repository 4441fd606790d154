// The Qt grid over 100,000 rows: filling it through the view's table model,
// and scrolling a page at a time, which must cost the same wherever in the
// grid it happens (only the rows on screen are read).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>
#include <QWidget>

#include "bench/qt/QtBenchmarkMain.h"
#include "platform/FlexGrid.h"
#include "qt/GridView.h"
#include "qt/QtHost.h"

namespace {

constexpr int kRows = 100000;
const std::string kRow = "A0001\tCliente de prueba\tMadrid\t25/12/2001\t1234.50";

void Fill(trovel::FlexGrid& grid, int rows) {
  grid.SetCols(5);
  for (int i = 0; i < rows; ++i) grid.AddItem(kRow);
}

void BM_QtGridAppend(benchmark::State& state) {
  trovel::qt::QtHost host;
  for (auto _ : state) {
    trovel::FlexGrid grid("grdDatos");
    QWidget parent;
    trovel::qt::GridView view(host, grid, &parent);
    Fill(grid, kRows);
    benchmark::DoNotOptimize(view.model()->rowCount());
  }
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
  for (auto _ : state) {
    at += bar->pageStep();
    if (at > bar->maximum()) at = start;
    bar->setValue(at);
    view.viewport()->render(&canvas);
  }
}
BENCHMARK(BM_QtGridScrollPage)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

TROVEL_QT_BENCHMARK_MAIN()
