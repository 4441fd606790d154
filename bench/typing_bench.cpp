// Typing into a filter box through the headless host: each key goes down,
// through the control's key-press filter and into the box. The cost per key
// (ns_per_key) must read the same for 1,000, 10,000 and 100,000 characters,
// and the complexity fit O(N) for the whole text.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

#include "bench/Summary.h"
#include "bench/Timing.h"
#include "ctltrovel/ctlTrovel.h"
#include "ctltrovel2/ctlTrovel2.h"
#include "platform/HeadlessHost.h"
#include "platform/MemoryPropertyBag.h"

namespace {

using trovel::HeadlessHost;
using trovel::TextBox;

// CPU seconds of this thread per key, of the last run of each (box, length):
// the run the library reports.
std::map<std::pair<std::string, int64_t>, double> g_per_key;

// Types state.range(0) letters into `box`, emptied first, each iteration.
void TypeLetters(benchmark::State& state, const std::string& name, HeadlessHost& host, TextBox& box,
                 const std::string& start = "") {
  const int64_t keys = state.range(0);
  const double begin = trovel::bench::ThreadSeconds();
  for (auto _ : state) {
    box.SetText(start);
    box.SetSelStart(1000);
    for (int64_t i = 0; i < keys; ++i) host.TypeKey(box, static_cast<int16_t>('a' + i % 26));
    if (box.Length() != static_cast<int>(keys + static_cast<int64_t>(start.size())))
      state.SkipWithError("a key was lost");
  }
  g_per_key[{name, keys}] = (trovel::bench::ThreadSeconds() - begin) / static_cast<double>(state.iterations() * keys);
  state.SetComplexityN(keys);
  state.counters["ns_per_key"] = benchmark::Counter(static_cast<double>(state.iterations() * keys),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// ctlTrovel's first filter box, a text column that upper-cases each key.
void BM_CtlTrovelFilterBox(benchmark::State& state) {
  HeadlessHost host;
  trovel::ctlTrovel ctl(host);
  host.SetFocus(&ctl.txtCodigo);
  TypeLetters(state, "ctlTrovel filter box", host, ctl.txtCodigo);
}

// ctlTrovel2's editor over the filter cell of a text column, opened by the
// first key typed on the grid.
void BM_CtlTrovel2CellEditor(benchmark::State& state) {
  HeadlessHost host;
  trovel::ctlTrovel2 ctl(host);
  trovel::MemoryPropertyBag bag;
  ctl.ReadProperties(bag);
  ctl.Columns()->Add("0", "des", "art", trovel::ctvTEXT, "Descripción", 20);
  host.SetFocus(&ctl.grdDatos);
  host.TypeKey(ctl.grdDatos, 'a');
  if (host.FocusedWidget() != &ctl.txtEdit) return state.SkipWithError("the editor did not open");
  TypeLetters(state, "ctlTrovel2 cell editor", host, ctl.txtEdit, "A");
}

BENCHMARK(BM_CtlTrovelFilterBox)->RangeMultiplier(10)->Range(1000, 100000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CtlTrovel2CellEditor)->RangeMultiplier(10)->Range(1000, 100000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  using namespace trovel::bench;
  for (const char* box : {"ctlTrovel filter box", "ctlTrovel2 cell editor"}) {
    if (!g_per_key.count({box, 1000}) || !g_per_key.count({box, 100000})) continue;
    const double large = g_per_key[{box, 100000}], small = g_per_key[{box, 1000}];
    std::printf("%s, per key: %s at 100,000 characters, %s at 1,000: %.2fx\n", box, Duration(large).c_str(),
                Duration(small).c_str(), large / small);
    Summary(std::string("typing, ") + box + ", per key", "-", Duration(large) + " at 100,000 chars",
            Duration(small) + " at 1,000 chars", "-", Ratio(large / small, "per key at 1,000"));
  }
  return 0;
}
