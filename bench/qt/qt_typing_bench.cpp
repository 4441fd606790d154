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
#include <limits>

#include "bench/qt/QtBenchmarkMain.h"
#include "platform/TextBox.h"
#include "qt/QtHost.h"
#include "qt/TextBoxView.h"

namespace {

void PerKey(benchmark::State& state) {
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
  for (auto _ : state) {
    QApplication::sendEvent(&view, &letter);
    QApplication::sendEvent(&view, &backspace);
  }
  if (model.Length() != length || view.text().size() != length) state.SkipWithError("the view lost the model");
  PerKey(state);
}
BENCHMARK(BM_QtTextBoxViewKey)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMicrosecond);

// The floor: QLineEdit editing its own line, with no model behind it.
void BM_QLineEditKey(benchmark::State& state) {
  QLineEdit line;
  line.setMaxLength(std::numeric_limits<int>::max());
  line.show();
  line.setText(QString(static_cast<qsizetype>(state.range(0)), 'x'));
  line.end(false);
  for (auto _ : state) {
    line.insert("a");
    line.backspace();
  }
  PerKey(state);
}
BENCHMARK(BM_QLineEditKey)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMicrosecond);

}  // namespace

TROVEL_QT_BENCHMARK_MAIN()
