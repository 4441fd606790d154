// Appending rows to the grid model: the cost per row must not grow with the
// number of rows already there (the complexity fit should read O(N)).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

#include "bench/Summary.h"
#include "bench/Timing.h"
#include "platform/FlexGrid.h"

namespace {

// CPU seconds of this thread per row, of the last run of each size: the run
// the library reports.
std::map<int64_t, double> g_per_row;

void BM_GridAppend(benchmark::State& state) {
  const std::string row = "A0001\tCliente de prueba\tMadrid\t25/12/2001\t1234.50\tx\ty\tz";
  const double start = trovel::bench::ThreadSeconds();
  for (auto _ : state) {
    trovel::FlexGrid grid("grdDatos");
    grid.SetCols(8);
    for (int64_t i = 0; i < state.range(0); ++i) grid.AddItem(row);
    benchmark::DoNotOptimize(grid.Rows());
  }
  g_per_row[state.range(0)] =
      (trovel::bench::ThreadSeconds() - start) / static_cast<double>(state.iterations() * state.range(0));
  state.SetComplexityN(state.range(0));
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["ns_per_row"] = benchmark::Counter(
      static_cast<double>(state.iterations() * state.range(0)),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_GridAppend)->RangeMultiplier(10)->Range(1000, 1000000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  using namespace trovel::bench;
  if (g_per_row.count(1000) && g_per_row.count(1000000)) {
    const double large = g_per_row[1000000], small = g_per_row[1000];
    std::printf("grid append per row: %s at 1,000,000 rows, %s at 1,000: %.2fx\n", Duration(large).c_str(),
                Duration(small).c_str(), large / small);
    Summary("grid append, FlexGrid model, 8 columns", Count(1000000), Duration(large) + "/row",
            Duration(small) + "/row at 1,000 rows", "-", Ratio(large / small, "per row at 1,000"));
  }
  return 0;
}
