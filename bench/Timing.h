// Timing helpers shared by the benchmarks that print ratios: each timed run
// is kept by name, and the ratios are taken between medians, so that one run
// slowed by whatever else the machine does decides nothing.
#pragma once

#include <time.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace trovel::bench {

// Seconds on the steady clock since some fixed point.
inline double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Seconds of CPU time this thread has used: for work that only computes,
// what the machine's other work does not change.
inline double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Runs `work` once and returns the seconds it took.
template <typename Work>
double Seconds(Work&& work) {
  const double start = Now();
  work();
  return Now() - start;
}

// Timed runs by name.
class Runs {
 public:
  void Add(const std::string& name, double value) { values_[name].push_back(value); }
  bool Has(const std::string& name) const { return values_.count(name) && !values_.at(name).empty(); }
  double Median(const std::string& name) const {
    std::vector<double> v = values_.at(name);
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
  }
  double Max(const std::string& name) const {
    const auto& v = values_.at(name);
    return *std::max_element(v.begin(), v.end());
  }
  double Min(const std::string& name) const {
    const auto& v = values_.at(name);
    return *std::min_element(v.begin(), v.end());
  }
  size_t Size(const std::string& name) const { return Has(name) ? values_.at(name).size() : 0; }
  // The value below which `share` (0 to 1) of the runs fall.
  double Quantile(const std::string& name, double share) const {
    std::vector<double> v = values_.at(name);
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(share * static_cast<double>(v.size())))];
  }
  size_t CountAbove(const std::string& name, double limit) const {
    const auto& v = values_.at(name);
    return static_cast<size_t>(std::count_if(v.begin(), v.end(), [limit](double x) { return x > limit; }));
  }

 private:
  std::map<std::string, std::vector<double>> values_;
};

}  // namespace trovel::bench
