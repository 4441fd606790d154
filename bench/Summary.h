// One row of the summary table that `make bench` prints at the end of a run:
// a benchmark program appends its rows, after its runs, to the file that the
// environment variable TROVEL_BENCH_SUMMARY names (nothing when it is unset).
// A row is six tab-separated fields:
//
//   path            what was measured ("first block ctlTrovel, order by codigo")
//   rows            the rows involved ("1,000,000", or "-")
//   Trovel          the control's figure with its unit ("84.1 us")
//   limit           the figure it is held against, the floor of the same work
//                   without the control, with what it is ("39.0 us sqlite3 loop")
//   QSqlQueryModel  Qt's model doing the same work, or "-"
//   ratios          the ratios with their targets ("2.16x plain (<= 1.5x: missed)")
#pragma once

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace trovel::bench {

// `value` in `unit` with three significant digits: Figure(84.07, "us") is "84.1 us".
inline std::string Figure(double value, const std::string& unit) {
  if (!std::isfinite(value)) return "-";
  char text[64];
  const double magnitude = std::fabs(value);
  const int decimals = magnitude >= 100 ? 0 : magnitude >= 10 ? 1 : magnitude >= 1 ? 2 : 3;
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return unit.empty() ? std::string(text) : std::string(text) + " " + unit;
}

// A duration in seconds, in the unit that suits it: "812 ns", "84.1 us", "12.3 ms", "1.20 s".
inline std::string Duration(double seconds) {
  const double magnitude = std::fabs(seconds);
  if (magnitude < 1e-6) return Figure(seconds * 1e9, "ns");
  if (magnitude < 1e-3) return Figure(seconds * 1e6, "us");
  if (magnitude < 1) return Figure(seconds * 1e3, "ms");
  return Figure(seconds, "s");
}

// A whole number with thousands separators: "1,000,000".
inline std::string Count(long long n) {
  const std::string digits = std::to_string(n < 0 ? -n : n);
  std::string text = n < 0 ? "-" : "";
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
    text += digits[i];
  }
  return text;
}

// "2.16x plain (<= 1.5x: missed)": a ratio, what it is against, and, when
// `target` is positive, whether it is within that target.
inline std::string Ratio(double ratio, const std::string& against, double target = 0) {
  char text[128];
  if (target > 0)
    std::snprintf(text, sizeof text, "%.2fx %s (<= %.1fx: %s)", ratio, against.c_str(), target,
                  ratio <= target ? "met" : "missed");
  else
    std::snprintf(text, sizeof text, "%.2fx %s", ratio, against.c_str());
  return text;
}

// Appends one row to the summary file, when TROVEL_BENCH_SUMMARY names one.
inline void Summary(const std::string& path, const std::string& rows, const std::string& trovel,
                    const std::string& limit, const std::string& qsqlquerymodel, const std::string& ratios) {
  const char* file = std::getenv("TROVEL_BENCH_SUMMARY");
  if (!file || !*file) return;
  auto field = [](std::string text) {
    for (char& c : text)
      if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return text.empty() ? std::string("-") : text;
  };
  std::ofstream out(file, std::ios::app);
  out << field(path) << '\t' << field(rows) << '\t' << field(trovel) << '\t' << field(limit) << '\t'
      << field(qsqlquerymodel) << '\t' << field(ratios) << '\n';
}

}  // namespace trovel::bench
