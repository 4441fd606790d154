// What the benchmark programs against a database server share: the server's
// address, which `make bench` puts into an environment variable after it
// starts a throw-away server, and the body of main around the runs.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <string>

#include "bench/PeakMeasure.h"
#include "ctltrovel/ctlTrovel.h"
#include "platform/HeadlessHost.h"

namespace trovel::bench {

// The address that the environment variable `variable` holds, or "".
inline std::string ServerAddress(const char* variable) {
  const char* address = std::getenv(variable);
  return address ? address : "";
}

// ctlTrovel's first block, read again in each iteration (each read closes
// the previous read's cursor first, as a user's next read does), measured
// with the peak memory as the case "ctlTrovel <rows>" of a table of `rows`.
inline void MeasureFirstBlock(benchmark::State& state, const HeadlessHost& host, ctlTrovel& ctl, int rows) {
  MeasureWithPeak(state, "ctlTrovel " + std::to_string(rows), [&] {
    ctl.p_leer();
    if (ctl.grdDatos.Rows() != 52 || !host.messages.empty()) state.SkipWithError("the first block is not 51 rows");
  });
}

// ctlTrovel paging: its read, then next presses until its grid holds `rows`
// rows, measured with the peak memory as the case "paging ctlTrovel". Gives
// the rows the grid reached in the last run.
inline int MeasurePaging(benchmark::State& state, const HeadlessHost& host, ctlTrovel& ctl, int rows) {
  int reached = 0;
  MeasureWithPeak(state, "paging ctlTrovel", [&] {
    ctl.p_leer();
    while (ctl.grdDatos.Rows() - 1 < rows && ctl.cmdSiguiente.Enabled()) ctl.cmdSiguiente.Click();
    reached = ctl.grdDatos.Rows() - 1;
    if (reached < rows || !host.messages.empty()) state.SkipWithError("the grid did not reach its rows");
  });
  return reached;
}

// The body of a benchmark program's main: without an address in `variable`
// it says so and gives 1; otherwise it makes the tables it needs, runs the
// benchmarks given on the command line, then `report`. A failure is
// printed, naming `program`, and gives 1.
inline int RunOnServer(const char* program, const char* variable, int& argc, char** argv,
                       const std::function<void()>& make_tables, const std::function<void()>& report) {
  if (ServerAddress(variable).empty()) {
    std::fprintf(stderr, "%s: %s holds no server address (make bench starts a server for it)\n", program, variable);
    return 1;
  }
  try {
    make_tables();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    report();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", program, e.what());
    return 1;
  }
  return 0;
}

}  // namespace trovel::bench
