// Typing into the Qt host's text view with 1,000, 10,000 and 100,000
// characters already there: a letter and then Backspace, each through the
// model's handlers. The view repeats the model's one-character edit on its
// line, so its own work per key is the same at every length; QLineEdit then
// lays out its whole line after each change, which grows with the text just
// as the plain QLineEdit beside it shows (ns_per_key of both runs alike).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <cstdio>
#include <limits>
#include <map>

#include "bench/Summary.h"
#include "bench/Timing.h"
#include "bench/qt/QtBenchmarkMain.h"
#include "platform/TextBox.h"
#include "qt/QtHost.h"
#include "qt/TextBoxView.h"

namespace {

// CPU seconds of this thread per key, of the last run of each (view,
// length): the run the library reports.
std::map<std::pair<std::string, int64_t>, double> g_per_key;

void PerKey(benchmark::State& state, const std::string& name, double start) {
  g_per_key[{name, state.range(0)}] =
      (trovel::bench::ThreadSeconds() - start) / (static_cast<double>(state.iterations()) * 2);
  state.counters["ns_per_key"] = benchmark::Counter(static_cast<double>(state.iterations()) * 2,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_QtTextBoxViewKey(benchmark::State& state) {
  trovel::qt::QtHost host;
  trovel::TextBox model("txtNombre");
  trovel::qt::TextBoxView view(host, model, nullptr);
  view.show();
  const auto length = static_cast<int>(state.range(0));
  model.SetText(std::string(static_cast<size_t>(length), 'x'));
  model.SetSelStart(length);
  QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
  QKeyEvent backspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
  const double start = trovel::bench::ThreadSeconds();
  for (auto _ : state) {
    QApplication::sendEvent(&view, &letter);
    QApplication::sendEvent(&view, &backspace);
  }
  PerKey(state, "TextBoxView", start);
  if (model.Length() != length || view.text().size() != length) state.SkipWithError("the view lost the model");
}
BENCHMARK(BM_QtTextBoxViewKey)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMicrosecond);

// The floor: QLineEdit editing its own line, with no model behind it.
void BM_QLineEditKey(benchmark::State& state) {
  QLineEdit line;
  line.setMaxLength(std::numeric_limits<int>::max());
  line.show();
  line.setText(QString(static_cast<qsizetype>(state.range(0)), 'x'));
  line.end(false);
  const double start = trovel::bench::ThreadSeconds();
  for (auto _ : state) {
    line.insert("a");
    line.backspace();
  }
  PerKey(state, "QLineEdit", start);
}
BENCHMARK(BM_QLineEditKey)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMicrosecond);

void Report() {
  using namespace trovel::bench;
  for (int64_t length : {1000, 100000}) {
    if (!g_per_key.count({"TextBoxView", length}) || !g_per_key.count({"QLineEdit", length})) continue;
    const double view = g_per_key[{"TextBoxView", length}], line = g_per_key[{"QLineEdit", length}];
    std::printf("Qt TextBoxView per key at %s characters: %s, plain QLineEdit %s: %.2fx\n", Count(length).c_str(),
                Duration(view).c_str(), Duration(line).c_str(), view / line);
    Summary("Qt TextBoxView, a key at " + Count(length) + " chars", "-", Duration(view), Duration(line) + " QLineEdit",
            "-", Ratio(view / line, "QLineEdit"));
  }
}

}  // namespace

TROVEL_QT_BENCHMARK_MAIN_THEN(Report)
