// Both controls in a Qt ControlWidget (800 x 600 pixels, shown on the
// offscreen platform) over the 1,000,000-row SQLite table of
// bench/BenchDatabase.h in codigo order, set up as in paging_bench:
//
//   loading: the read button, then next presses until 100,000 rows are in
//   the grid, each a click of the QPushButton, against the same control on
//   a headless host doing the same presses (target: Qt within 1.1x of
//   headless). Two ways: presses back to back with one turn of the event
//   loop at the end, which is the Qt host's own cost of taking in the rows;
//   and one turn of the event loop after each press, so that the grid
//   scrolls to each block and paints it before the next press, as a user
//   sees it (split into the presses and the event loop's turns);
//   scrolling: with the 100,000 rows in, the grid's scroll bar dragged from
//   the top to the end and back in 500 even steps each way, each frame being
//   the move and the turn of the event loop that paints it; median and worst
//   frame (target: the worst under 8 ms). Beside it a bare QTableView (Qt's
//   own delegate, a plain table model holding the same cell texts as
//   QStrings) of the same size, columns and row height, scrolled the same
//   way: what a Qt developer's own table would cost.
//
// qt_grid_bench measures the bare GridView (its mean time per page scrolled,
// painted into an image); this measures the view inside the whole control,
// frame by frame.
#include <benchmark/benchmark.h>

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <cstdio>
#include <map>
#include <memory>
#include <type_traits>

#include "bench/BenchControls.h"
#include "bench/BenchDatabase.h"
#include "bench/Summary.h"
#include "bench/Timing.h"
#include "connectors/SqliteConnection.h"
#include "platform/HeadlessHost.h"
#include "platform/MemoryPropertyBag.h"
#include "qt/ControlWidget.h"
#include "qt/QtHost.h"

namespace {

using namespace trovel;
using namespace trovel::bench;

constexpr int kTable = 1000000, kRows = 100000, kLoadRepetitions = 3, kScrollSteps = 500;
constexpr bool kOrder = true;

Runs g_load, g_frames;
double g_painted_presses[2], g_painted_events[2];  // of the painted loads, by control
std::map<std::string, int> g_rows;

// Counts the paint events of the widget it watches.
class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// A control of type Control in a shown ControlWidget, set up like the
// headless one (a ctlTrovel2 loaded from an empty bag, a ctlTrovel new).
template <typename Control>
struct QtControl {
  qt::QtHost host;
  MemoryPropertyBag bag;
  Control* ctl = nullptr;
  std::unique_ptr<qt::ControlWidget> widget;
  QPushButton* leer = nullptr;
  QPushButton* siguiente = nullptr;
  QTableView* grid = nullptr;

  QtControl() {
    auto owned = std::make_unique<Control>(host);
    ctl = owned.get();
    widget = std::make_unique<qt::ControlWidget>(host, std::move(owned),
                                                 std::is_same_v<Control, ctlTrovel2> ? &bag : nullptr);
    if constexpr (std::is_same_v<Control, ctlTrovel2>)
      ConfigureCtlTrovel2(*ctl, kOrder);
    else
      ConfigureCtlTrovel(*ctl, kOrder);
    ctl->glbDb(std::make_shared<SqliteConnection>(BenchDatabase(kTable)));
    widget->resize(800, 600);
    widget->show();
    QApplication::processEvents();
    leer = widget->findChild<QPushButton*>("cmdLeer");
    siguiente = widget->findChild<QPushButton*>("cmdSiguiente");
    grid = widget->findChild<QTableView*>("grdDatos");
  }

  // The read and the next presses through the buttons; with `paint_each`
  // one turn of the event loop after each, otherwise one at the end. The
  // seconds in the presses and in the turns are added to `presses` and
  // `events`.
  PagingTimes Load(bool paint_each, double& presses, double& events) {
    auto turn = [&] { events += Seconds([] { QApplication::processEvents(); }); };
    auto press = [&](QPushButton* button) {
      presses += Seconds([&] { button->click(); });
      if (paint_each) turn();
    };
    PagingTimes t = PageUntil(*ctl, kRows, [&] { press(leer); }, [&] { press(siguiente); });
    if (!paint_each) t.total += Seconds(turn);
    return t;
  }
  PagingTimes Load() {
    double presses = 0, events = 0;
    return Load(false, presses, events);
  }
};

template <typename Control>
void Headless(benchmark::State& state, const std::string& name) {
  for (auto _ : state) {
    HeadlessHost host;
    Control ctl(host);
    MemoryPropertyBag bag;
    if constexpr (std::is_same_v<Control, ctlTrovel2>) {
      ctl.ReadProperties(bag);
      ConfigureCtlTrovel2(ctl, kOrder);
    } else {
      ctl.InitProperties();
      ConfigureCtlTrovel(ctl, kOrder);
    }
    ctl.glbDb(std::make_shared<SqliteConnection>(BenchDatabase(kTable)));
    const PagingTimes t = PageUntil(ctl, kRows, [&] { ctl.p_leer(); }, [&] { ctl.cmdSiguiente.Click(); });
    if (t.rows < kRows || !host.messages.empty()) return state.SkipWithError("the grid did not reach 100,000 rows");
    g_load.Add(name, t.total);
    g_rows[name] = t.rows;
    state.counters["rows"] = t.rows;
    ctl.Quit();
  }
}

template <typename Control>
void QtLoad(benchmark::State& state, const std::string& name, bool paint_each) {
  for (auto _ : state) {
    QtControl<Control> q;
    if (!q.leer || !q.siguiente || !q.grid) return state.SkipWithError("the widget has no buttons or grid");
    double presses = 0, events = 0;
    const PagingTimes t = q.Load(paint_each, presses, events);
    if (t.rows < kRows || q.grid->model()->rowCount() < kRows)
      return state.SkipWithError("the grid did not reach 100,000 rows");
    g_load.Add(name, t.total);
    g_rows[name] = t.rows;
    state.counters["rows"] = t.rows;
    if (paint_each) {
      const int which = std::is_same_v<Control, ctlTrovel2>;
      g_painted_presses[which] = presses;
      g_painted_events[which] = events;
      state.counters["presses_s"] = presses;
      state.counters["event_loop_s"] = events;
    }
  }
}

// The cell texts of a grid's rows below its header, as QStrings: the model
// of the bare QTableView.
class BareModel : public QAbstractTableModel {
 public:
  explicit BareModel(const FlexGrid& grid) : rows_(grid.Rows() - 1), cols_(grid.Cols()) {
    cells_.reserve(static_cast<size_t>(rows_) * static_cast<size_t>(cols_));
    for (int r = 1; r <= rows_; ++r)
      for (int c = 0; c < cols_; ++c) cells_.push_back(QString::fromStdString(grid.TextMatrix(r, c)));
    for (int c = 0; c < cols_; ++c) captions_ << QString::fromStdString(grid.TextMatrix(0, c)).trimmed();
  }
  int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : rows_; }
  int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : cols_; }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole) return {};
    return cells_[static_cast<size_t>(index.row()) * static_cast<size_t>(cols_) + static_cast<size_t>(index.column())];
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    return captions_.value(section);
  }

 private:
  int rows_, cols_;
  std::vector<QString> cells_;
  QStringList captions_;
};

// Scrolls `view` end to end and back, timing each frame under `name`. False
// when a frame was not painted.
bool TimeScroll(QTableView* view, const std::string& name, benchmark::State& state) {
  QScrollBar* bar = view->verticalScrollBar();
  bar->setValue(0);
  QApplication::processEvents();
  PaintCounter counter;
  view->viewport()->installEventFilter(&counter);
  const int end = bar->maximum();
  int frames = 0;
  auto frame = [&](int at) {
    g_frames.Add(name, Seconds([&] {
      bar->setValue(at);
      QApplication::processEvents();
    }));
    ++frames;
  };
  for (int k = 1; k <= kScrollSteps; ++k) frame(static_cast<int>(static_cast<long long>(end) * k / kScrollSteps));
  for (int k = kScrollSteps - 1; k >= 0; --k) frame(static_cast<int>(static_cast<long long>(end) * k / kScrollSteps));
  view->viewport()->removeEventFilter(&counter);
  state.counters[name.rfind("bare ", 0) == 0 ? "bare_frames" : "frames"] += frames;
  state.counters["rows_per_step"] = static_cast<double>(end) / kScrollSteps;
  state.counters["rows_per_page"] = bar->pageStep();
  return counter.paints >= frames;
}

// Loads the grid once, then times the frames of each iteration's scrolling;
// then the same once for a bare QTableView over the same rows.
template <typename Control>
void QtScroll(benchmark::State& state, const std::string& name) {
  QtControl<Control> q;
  if (!q.leer || !q.siguiente || !q.grid) return state.SkipWithError("the widget has no buttons or grid");
  if (q.Load().rows < kRows) return state.SkipWithError("the grid did not reach 100,000 rows");
  for (auto _ : state)
    if (!TimeScroll(q.grid, name, state)) return state.SkipWithError("a frame was not painted");

  BareModel model(q.ctl->grdDatos);
  QTableView bare;
  bare.setModel(&model);
  bare.verticalHeader()->hide();
  bare.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  bare.verticalHeader()->setDefaultSectionSize(q.grid->verticalHeader()->defaultSectionSize());
  bare.horizontalHeader()->setFixedHeight(q.grid->horizontalHeader()->height());
  bare.setFont(q.grid->font());
  for (int c = 0; c < model.columnCount(); ++c) bare.setColumnWidth(c, q.grid->columnWidth(c));
  bare.resize(q.grid->size());
  bare.show();
  QApplication::processEvents();
  if (!TimeScroll(&bare, "bare " + name, state)) return state.SkipWithError("a frame of the bare view was not painted");
}

void BM_HeadlessCtlTrovelLoad(benchmark::State& s) { Headless<ctlTrovel>(s, "headless ctlTrovel"); }
void BM_QtCtlTrovelLoad(benchmark::State& s) { QtLoad<ctlTrovel>(s, "Qt ctlTrovel", false); }
void BM_QtCtlTrovelLoadPainted(benchmark::State& s) { QtLoad<ctlTrovel>(s, "Qt painted ctlTrovel", true); }
void BM_HeadlessCtlTrovel2Load(benchmark::State& s) { Headless<ctlTrovel2>(s, "headless ctlTrovel2"); }
void BM_QtCtlTrovel2Load(benchmark::State& s) { QtLoad<ctlTrovel2>(s, "Qt ctlTrovel2", false); }
void BM_QtCtlTrovel2LoadPainted(benchmark::State& s) { QtLoad<ctlTrovel2>(s, "Qt painted ctlTrovel2", true); }
void BM_QtCtlTrovelScroll(benchmark::State& s) { QtScroll<ctlTrovel>(s, "ctlTrovel"); }
void BM_QtCtlTrovel2Scroll(benchmark::State& s) { QtScroll<ctlTrovel2>(s, "ctlTrovel2"); }

// The painted loads take seconds each and vary little: one run each.
BENCHMARK(BM_HeadlessCtlTrovelLoad)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(kLoadRepetitions);
BENCHMARK(BM_QtCtlTrovelLoad)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(kLoadRepetitions);
BENCHMARK(BM_QtCtlTrovelLoadPainted)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_HeadlessCtlTrovel2Load)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(kLoadRepetitions);
BENCHMARK(BM_QtCtlTrovel2Load)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(kLoadRepetitions);
BENCHMARK(BM_QtCtlTrovel2LoadPainted)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_QtCtlTrovelScroll)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_QtCtlTrovel2Scroll)->Unit(benchmark::kMillisecond)->Iterations(1);

void Report() {
  std::printf("\nQt ControlWidget, 100,000 rows:\n");
  for (const char* control : {"ctlTrovel", "ctlTrovel2"}) {
    const std::string headless = std::string("headless ") + control;
    for (const bool painted : {false, true}) {
      const std::string qt = std::string(painted ? "Qt painted " : "Qt ") + control;
      if (!g_load.Has(headless) || !g_load.Has(qt)) continue;
      const double h = g_load.Median(headless);
      const double q = g_load.Median(qt);
      // The target holds for the loading itself; painting each block is
      // work the headless control never does, shown for what it costs.
      std::string ratio = painted ? Ratio(q / h, "headless") : Ratio(q / h, "headless", 1.1);
      const char* how = painted ? "each block painted" : "presses back to back";
      std::printf("  %-10s loading by next presses, %s: Qt %s, headless %s: %s\n", control, how,
                  Duration(q).c_str(), Duration(h).c_str(), ratio.c_str());
      if (painted) {
        const int which = std::string(control) == "ctlTrovel2";
        char split[160];
        std::snprintf(split, sizeof split, "presses %s, event loop turns %s",
                      Duration(g_painted_presses[which]).c_str(), Duration(g_painted_events[which]).c_str());
        std::printf("  %-10s   of which %s\n", control, split);
        ratio += std::string("; ") + split;
      }
      Summary(std::string("Qt ControlWidget ") + control + ", loading, " + how, Count(g_rows[qt]), Duration(q),
              Duration(h) + " headless", "-", ratio);
    }
    if (g_frames.Has(control)) {
      const double median = g_frames.Median(control), worst = g_frames.Max(control);
      const size_t slow = g_frames.CountAbove(control, 8e-3);
      std::string verdict = std::string("< 8 ms: ") + (worst < 8e-3 ? "met" : "missed") + ", " +
                            Count(static_cast<long long>(slow)) + " over 8 ms, 99th percentile " +
                            Duration(g_frames.Quantile(control, 0.99));
      std::printf("  %-10s scrolling end to end and back, %zu frames: median %s, worst %s (%s)\n", control,
                  g_frames.Size(control), Duration(median).c_str(), Duration(worst).c_str(), verdict.c_str());
      const std::string bare = std::string("bare ") + control;
      std::string beside = "-";
      if (g_frames.Has(bare)) {
        const double bare_median = g_frames.Median(bare), bare_worst = g_frames.Max(bare);
        beside = Duration(bare_worst) + " (" + Duration(bare_median) + ") bare QTableView";
        std::printf("  %-10s the same rows in a bare QTableView: median %s, worst %s, 99th percentile %s\n", control,
                    Duration(bare_median).c_str(), Duration(bare_worst).c_str(),
                    Duration(g_frames.Quantile(bare, 0.99)).c_str());
        verdict += "; median " + Ratio(median / bare_median, "bare QTableView");
      }
      Summary(std::string("Qt ControlWidget ") + control + ", scroll frame, worst (median)", Count(kRows),
              Duration(worst) + " (" + Duration(median) + ")", "8 ms target", beside,
              verdict + ", " + Count(static_cast<long long>(g_frames.Size(control))) + " frames");
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return RunOnDatabases("qt_scroll_bench", {kTable}, argc, argv, Report);
}
