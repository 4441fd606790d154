// A selective case-blind prefix search on a 10,000,000-row PostgreSQL table,
// side by side in one run:
//
//   ctlTrovel reading the first block of `c0999999%` in its code box (ten
//   rows, at the end of the table), with the index the README gives and
//   without it;
//   psql's own time (\timing) for the same statement with the value written
//   in, with the index and without it: the server's time, what no client
//   can beat. (Without the index psql's session may scan in parallel; a
//   search never does, so that a page after a pause continues exactly.)
//
// The server is the one whose address TROVEL_PG_BENCH holds; `make bench`
// starts a throw-away one and stops it afterwards. The table is made once
// per server (about a minute); a run finds it there the next time.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchControls.h"
#include "bench/ServerBench.h"
#include "bench/Summary.h"
#include "connectors/OpenConnection.h"
#include "ctltrovel/ctlTrovel.h"
#include "platform/HeadlessHost.h"

namespace {

constexpr long long kRows = 10000000;
constexpr char kFilter[] = "c0999999%";
constexpr int kRowsFound = 10;

// The statement the connector sends for the code box, with the value
// written in for psql.
const std::string kStatement =
    "select codigo, nombre, saldo, alta from diez_millones where lower((codigo)::text COLLATE \"und-x-icu\") "
    "COLLATE \"C\" LIKE (lower('c0999999%' COLLATE \"und-x-icu\") COLLATE \"C\") ESCAPE ''";
const std::string kIndex =
    "create index if not exists diez_millones_codigo on diez_millones "
    "((lower(codigo COLLATE \"und-x-icu\")) COLLATE \"C\"); analyze diez_millones";

std::string Address() { return trovel::bench::ServerAddress("TROVEL_PG_BENCH"); }

void MakeTable() {
  trovel::ExecuteScript(
      Address(),
      "create table if not exists diez_millones as select 'C' || lpad(i::text, 8, '0') as codigo, 'Cliente ' || i "
      "as nombre, i % 100000 * 1.5 as saldo, date '2000-01-01' + i % 9000 as alta from generate_series(1, " +
          std::to_string(kRows) + ") i; analyze diez_millones");
}

// The median of psql's own times (ms) for `times` runs of the statement in
// one session.
double PsqlMilliseconds(int times) {
  // The statement holds quotes of both kinds: psql reads it from a file.
  const std::string script = "/tmp/trovel-prefix-bench-" + std::to_string(getpid()) + ".sql";
  if (FILE* f = std::fopen(script.c_str(), "w")) {
    std::fprintf(f, "\\timing on\n");
    for (int i = 0; i < times; ++i) std::fprintf(f, "%s;\n", kStatement.c_str());
    std::fclose(f);
  }
  const std::string command = "psql -X -q -o /dev/null -d \"" + Address() + "\" -f " + script + " 2>&1";
  std::vector<double> ms;
  if (FILE* out = popen(command.c_str(), "r")) {
    std::array<char, 256> line;
    while (std::fgets(line.data(), line.size(), out)) {
      double t = 0;
      if (std::sscanf(line.data(), "Time: %lf ms", &t) == 1) ms.push_back(t);
    }
    pclose(out);
  }
  std::remove(script.c_str());
  if (ms.empty()) return 0;
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

// Seconds per first block, per case, the median of the repetitions.
std::map<std::string, std::vector<double>> g_seconds;

void FirstBlock(benchmark::State& state, const std::string& name) {
  trovel::HeadlessHost host;
  trovel::ctlTrovel ctl(host);
  trovel::bench::ConfigureCtlTrovel(ctl, false);
  ctl.SentenciaSQL("select codigo, nombre, saldo, alta from diez_millones");
  ctl.glbDb(trovel::OpenConnection(Address()));
  ctl.txtCodigo.SetText(kFilter);
  double seconds = 0;
  for (auto _ : state) {
    // Each read closes the previous read's cursor first, as a user's next
    // read does.
    seconds += trovel::bench::Seconds([&] { ctl.p_leer(); });
    if (trovel::bench::DataRows(ctl) != kRowsFound || !host.messages.empty())
      state.SkipWithError("the search did not show its ten rows");
  }
  g_seconds[name].push_back(seconds / static_cast<double>(state.iterations()));
  ctl.Quit();
}

// psql's median time per case (ms), taken once before the case's first
// repetition, with the index as the case has it.
std::map<std::string, double> g_psql;

// The case without the index runs first: it drops the index, the other makes
// it (the making is not timed).
void BM_WithoutIndex(benchmark::State& state) {
  trovel::ExecuteScript(Address(), "drop index if exists diez_millones_codigo");
  if (!g_psql.count("no index")) g_psql["no index"] = PsqlMilliseconds(3);
  FirstBlock(state, "no index");
}
void BM_WithIndex(benchmark::State& state) {
  trovel::ExecuteScript(Address(), kIndex);
  if (!g_psql.count("index")) g_psql["index"] = PsqlMilliseconds(50);
  FirstBlock(state, "index");
}

BENCHMARK(BM_WithoutIndex)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_WithIndex)->Unit(benchmark::kMicrosecond)->Iterations(50)->Repetitions(5)->ReportAggregatesOnly(true);

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  return trovel::bench::RunOnServer("pg_prefix_bench", "TROVEL_PG_BENCH", argc, argv, MakeTable, [] {
    const double psql_with = g_psql["index"], psql_without = g_psql["no index"];
    const double with = Median(g_seconds["index"]), without = Median(g_seconds["no index"]);
    std::printf(
        "prefix search on 10,000,000 rows: %.2f ms with the index (psql %.2f ms), %.0f ms without it "
        "(psql %.0f ms)\n",
        with * 1e3, psql_with, without * 1e3, psql_without);
    using namespace trovel::bench;
    if (psql_with > 0 && psql_without > 0) {
      Summary("first block, case-blind prefix, PostgreSQL, README index", Count(kRows), Duration(with),
              Duration(psql_with / 1e3) + " psql", "-", Ratio(with / (psql_with / 1e3), "psql"));
      Summary("first block, case-blind prefix, PostgreSQL, no index", Count(kRows), Duration(without),
              Duration(psql_without / 1e3) + " psql", "-", Ratio(without / (psql_without / 1e3), "psql"));
    }
  });
}
