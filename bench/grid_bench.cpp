// Appending rows to the grid model: the cost per row must not grow with the
// number of rows already there (the complexity fit should read O(N)).
#include <benchmark/benchmark.h>

#include "platform/FlexGrid.h"

namespace {

void BM_GridAppend(benchmark::State& state) {
  const std::string row = "A0001\tCliente de prueba\tMadrid\t25/12/2001\t1234.50\tx\ty\tz";
  for (auto _ : state) {
    trovel::FlexGrid grid("grdDatos");
    grid.SetCols(8);
    for (int64_t i = 0; i < state.range(0); ++i) grid.AddItem(row);
    benchmark::DoNotOptimize(grid.Rows());
  }
  state.SetComplexityN(state.range(0));
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["ns_per_row"] = benchmark::Counter(
      static_cast<double>(state.iterations() * state.range(0)),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_GridAppend)->RangeMultiplier(10)->Range(1000, 1000000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
