// Timing a case together with the client's peak memory while it ran, for the
// benchmarks against a server (pg_bench, odbc_bench): the resident set above
// what it was before the case, with the peak reset first (Linux: clear_refs
// 5), so that the peak seen is the case's own.
//
// Thread-safety: one benchmark thread; the results live in one map of the
// program.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace trovel::bench {

// Kilobytes of the process's resident set ("VmRSS") or of its peak
// ("VmHWM") from /proc/self/status.
inline long StatusKb(const std::string& key) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(key + ":", 0) == 0) return std::stol(line.substr(key.size() + 1));
  return 0;
}

// Per case, each repetition's mean seconds per iteration and its peak
// memory (MB above the start).
inline std::map<std::string, std::vector<std::pair<double, double>>>& PeakResults() {
  static std::map<std::string, std::vector<std::pair<double, double>>> results;
  return results;
}

// The median time of a case's repetitions (the server shares the machine,
// and one slow repetition must not decide a ratio) and the largest peak.
inline std::pair<double, double> MedianTimeLargestPeak(std::vector<std::pair<double, double>> runs) {
  std::sort(runs.begin(), runs.end());
  double peak = 0;
  for (const auto& run : runs) peak = std::max(peak, run.second);
  return {runs[runs.size() / 2].first, peak};
}

// Times `once` per iteration of `state` and keeps the figures as case `name`.
template <typename Once>
void MeasureWithPeak(benchmark::State& state, const std::string& name, Once once) {
  std::ofstream("/proc/self/clear_refs") << "5";
  const long before = StatusKb("VmRSS");
  double seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    once();
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  const double peak = static_cast<double>(StatusKb("VmHWM") - before) / 1024.0;
  state.counters["peak_MB"] = peak;
  PeakResults()[name].emplace_back(seconds / static_cast<double>(state.iterations()), peak);
}

// Every case measured so far: its median time and largest peak.
inline std::map<std::string, std::pair<double, double>> MeasuredCases() {
  std::map<std::string, std::pair<double, double>> r;
  for (const auto& [name, runs] : PeakResults()) r[name] = MedianTimeLargestPeak(runs);
  return r;
}

}  // namespace trovel::bench
