// Statement building and cell formatting, the work of a read that is not the
// database's:
//
//   BuildStatement of each control (public) with every filter filled: the
//   four boxes of ctlTrovel (text, text, "NUM", "FEC") and the filter row of
//   ctlTrovel2 (text, text, a number with ">", a date);
//   the whole read of each control on an empty table with those filters:
//   build, open the cursor on a real SQLite file, find no rows, show the
//   "No existen registros" box;
//   Format per value (platform/Format.h): a date with "dd/mm/yyyy", a number
//   with "#,##0.00" and a text with no picture, each beside snprintf (or a
//   copy, for the text) making the same kind of text, its floor.
//
// Each figure is the median over three repetitions of the mean time per call.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>

#include "bench/BenchControls.h"
#include "bench/BenchDatabase.h"
#include "bench/Summary.h"
#include "bench/Timing.h"
#include "connectors/SqliteConnection.h"
#include "platform/Format.h"
#include "platform/HeadlessHost.h"
#include "platform/MemoryPropertyBag.h"

namespace {

using namespace trovel;
using namespace trovel::bench;

constexpr int kRepetitions = 3;

Runs g_per_call;
std::map<std::string, std::string> g_statement;

// Runs `call` for the benchmark's iterations and keeps the mean time per
// call of a run that lasted at least half the minimum time: the short runs
// by which the library finds the number of iterations are not kept.
constexpr double kMinTime = 0.2;
template <typename Call>
void PerCall(benchmark::State& state, const std::string& name, Call call) {
  const double start = Now();
  for (auto _ : state) call();
  const double seconds = Now() - start;
  if (seconds >= kMinTime / 2) g_per_call.Add(name, seconds / static_cast<double>(state.iterations()));
}

void FillBoxes(ctlTrovel& ctl) {
  ctl.txtCodigo.SetText("C0001%");
  ctl.txtNombre.SetText("Cliente 1%");
  ctl.txtcol3.SetText("15");
  ctl.txtcol4.SetText("25/12/2001");
}

void FillFilterRow(ctlTrovel2& ctl) {
  const char* const filters[] = {"C0001%", "Cliente 1%", ">15", "25/12/2001"};
  for (int c = 0; c < 4; ++c) ctl.grdDatos.SetTextMatrix(1, c, filters[c]);
}

void BM_CtlTrovelBuildStatement(benchmark::State& state) {
  HeadlessHost host;
  ctlTrovel ctl(host);
  ConfigureCtlTrovel(ctl, true);
  FillBoxes(ctl);
  g_statement["ctlTrovel"] = ctl.BuildStatement();
  PerCall(state, "build ctlTrovel", [&] { benchmark::DoNotOptimize(ctl.BuildStatement()); });
}

void BM_CtlTrovel2BuildStatement(benchmark::State& state) {
  HeadlessHost host;
  ctlTrovel2 ctl(host);
  MemoryPropertyBag bag;
  ctl.ReadProperties(bag);
  ConfigureCtlTrovel2(ctl, true);
  FillFilterRow(ctl);
  g_statement["ctlTrovel2"] = ctl.BuildStatement();
  PerCall(state, "build ctlTrovel2", [&] { benchmark::DoNotOptimize(ctl.BuildStatement()); });
}

void BM_CtlTrovelEmptyRead(benchmark::State& state) {
  HeadlessHost host;
  ctlTrovel ctl(host);
  ConfigureCtlTrovel(ctl, true);
  FillBoxes(ctl);
  ctl.glbDb(std::make_shared<SqliteConnection>(BenchDatabase(0)));
  PerCall(state, "empty read ctlTrovel", [&] {
    ctl.p_leer();
    if (host.messages.size() != 1 || host.messages[0].text != "No existen registros")
      state.SkipWithError("the read did not end in its one box");
    host.messages.clear();
  });
  ctl.Quit();
}

// The read button of ctlTrovel2 reads in filter mode; the press that goes
// back to filter mode, and filling the filter row again (a read empties
// it), are part of each call here, as a user's next search needs them.
void BM_CtlTrovel2EmptyRead(benchmark::State& state) {
  HeadlessHost host;
  ctlTrovel2 ctl(host);
  MemoryPropertyBag bag;
  ctl.ReadProperties(bag);
  ConfigureCtlTrovel2(ctl, true);
  ctl.glbDb(std::make_shared<SqliteConnection>(BenchDatabase(0)));
  FillFilterRow(ctl);
  PerCall(state, "empty read ctlTrovel2", [&] {
    ctl.p_leer();
    if (host.messages.size() != 1 || host.messages[0].text != "No existen registros")
      state.SkipWithError("the read did not end in its one box");
    host.messages.clear();
    ctl.p_leer();  // back to filter mode
    FillFilterRow(ctl);
  });
  ctl.Quit();
}

const Variant kDate(DateTime{2001, 12, 25, 0, 0, 0});
const Variant kNumber(1234567.891);
const Variant kText(std::string("Cliente 123456"));

void BM_FormatDate(benchmark::State& state) {
  PerCall(state, "Format date", [] { benchmark::DoNotOptimize(Format(kDate, "dd/mm/yyyy")); });
}
void BM_FormatNumber(benchmark::State& state) {
  PerCall(state, "Format number", [] { benchmark::DoNotOptimize(Format(kNumber, "#,##0.00")); });
}
void BM_FormatText(benchmark::State& state) {
  PerCall(state, "Format text", [] { benchmark::DoNotOptimize(Format(kText, "")); });
}

// The floors: the same kind of text made with snprintf into a std::string.
void BM_SnprintfDate(benchmark::State& state) {
  PerCall(state, "snprintf date", [] {
    char text[32];
    const DateTime d = kDate.ToDate();
    const int n = std::snprintf(text, sizeof text, "%02d/%02d/%04d", d.day, d.month, d.year);
    benchmark::DoNotOptimize(std::string(text, static_cast<size_t>(n)));
  });
}
void BM_SnprintfNumber(benchmark::State& state) {
  PerCall(state, "snprintf number", [] {
    char text[64];
    const int n = std::snprintf(text, sizeof text, "%.2f", kNumber.ToDouble());
    benchmark::DoNotOptimize(std::string(text, static_cast<size_t>(n)));
  });
}
void BM_CopyText(benchmark::State& state) {
  PerCall(state, "copy text", [] { benchmark::DoNotOptimize(kText.ToString()); });
}

#define TROVEL_PER_CALL(f) BENCHMARK(f)->MinTime(kMinTime)->Repetitions(kRepetitions)->ReportAggregatesOnly(true)
TROVEL_PER_CALL(BM_CtlTrovelBuildStatement);
TROVEL_PER_CALL(BM_CtlTrovel2BuildStatement);
TROVEL_PER_CALL(BM_CtlTrovelEmptyRead)->Unit(benchmark::kMicrosecond);
TROVEL_PER_CALL(BM_CtlTrovel2EmptyRead)->Unit(benchmark::kMicrosecond);
TROVEL_PER_CALL(BM_FormatDate);
TROVEL_PER_CALL(BM_SnprintfDate);
TROVEL_PER_CALL(BM_FormatNumber);
TROVEL_PER_CALL(BM_SnprintfNumber);
TROVEL_PER_CALL(BM_FormatText);
TROVEL_PER_CALL(BM_CopyText);

void Report() {
  std::printf("\nstatement building and Format, median per call:\n");
  for (const char* control : {"ctlTrovel", "ctlTrovel2"}) {
    const std::string build = std::string("build ") + control, read = std::string("empty read ") + control;
    if (g_per_call.Has(build)) {
      std::printf("  %-11s BuildStatement, 4 filters: %s\n              %s\n", control,
                  Duration(g_per_call.Median(build)).c_str(), g_statement[control].c_str());
      Summary(std::string("statement ") + control + ", BuildStatement with 4 filters", "-",
              Duration(g_per_call.Median(build)), "-", "-", "-");
    }
    if (g_per_call.Has(read)) {
      std::printf("  %-11s read on an empty table, 4 filters: %s\n", control,
                  Duration(g_per_call.Median(read)).c_str());
      Summary(std::string("statement ") + control + ", read of an empty table with 4 filters", "0",
              Duration(g_per_call.Median(read)), "-", "-", "-");
    }
  }
  const struct {
    const char* what;
    const char* ours;
    const char* floor;
    const char* floor_text;
  } formats[] = {{"date \"dd/mm/yyyy\"", "Format date", "snprintf date", "snprintf %02d/%02d/%04d"},
                 {"number \"#,##0.00\"", "Format number", "snprintf number", "snprintf %.2f"},
                 {"text, no picture", "Format text", "copy text", "string copy"}};
  for (const auto& f : formats) {
    if (!g_per_call.Has(f.ours) || !g_per_call.Has(f.floor)) continue;
    const double ours = g_per_call.Median(f.ours), floor = g_per_call.Median(f.floor);
    std::printf("  Format %-19s %s per value, %s %s: %.2fx\n", f.what, Duration(ours).c_str(), f.floor_text,
                Duration(floor).c_str(), ours / floor);
    Summary(std::string("Format ") + f.what + " per value", "-", Duration(ours),
            Duration(floor) + " " + f.floor_text, "-", Ratio(ours / floor, f.floor_text));
  }
}

}  // namespace

int main(int argc, char** argv) {
  return RunOnDatabases("statement_bench", {0}, argc, argv, Report);
}
