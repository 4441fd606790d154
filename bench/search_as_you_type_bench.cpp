// Search as you type on 1,000,000 rows, SQLite and PostgreSQL: a user types
// "gar" into ctlTrovel's name box at 8 keys per second, BuscarAlEscribir on.
// Each key's pause (PausaBusqueda 60 ms, under the 125 ms between keys) ends
// and starts a read, and the next key stops that read if it still runs. The
// figure is the time from the last key to the first block of the answer to
// "gar" in the grid, median and 99th percentile over the trials (the target:
// under 100 ms at the 99th percentile), and the worst wait of any key, from
// the moment it was due to the moment the box held it (the target: under
// 16 ms, one frame).
//
// The names are surnames in a cycle of forty (three of which start with
// "gar"), so "g", "ga" and "gar" each find other first rows (Gil, Gallardo,
// García; in the order of nombre Gallardo, Gallardo, García): a block of
// "ga" shown late cannot pass for the answer. Each case runs with no order
// and ordered by nombre, which PostgreSQL serves by sorting the 75,000 rows
// that match, so that keys often stop a read. The column is indexed: SQLite with a plain
// index on nombre (its case-blind LIKE is a function of ours, which no
// index serves, so a search scans until it has its block), PostgreSQL with
// the expression index the README gives for case-blind prefix searches.
//
// Beside it, per backend, in the same run: the pause plus the same first
// block read by a plain loop (sqlite3 with its built-in LIKE; libpq through
// a cursor), the floor; and the pause plus QSqlQueryModel::setQuery of the
// same statement, what a Qt form would do after its own pause, which cannot
// be stopped once it runs.
//
// PostgreSQL is the server whose address TROVEL_PG_BENCH holds (`make bench`
// starts one); without it only SQLite runs.
#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchDatabase.h"
#include "bench/QtPgDatabase.h"
#include "bench/ServerBench.h"
#include "bench/Summary.h"
#include "bench/Timing.h"
#include "connectors/OpenConnection.h"
#include "ctltrovel/ctlTrovel.h"
#include "platform/HeadlessHost.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int kRows = 1000000;
constexpr int kPauseMs = 60;
constexpr milliseconds kKeyEvery{125};  // 8 keys per second
constexpr int kTrials = 60;
constexpr int kBlock = 51;
constexpr char kKeys[] = "gar";
constexpr size_t kKeyCount = sizeof kKeys - 1;
constexpr char kAnswer[] = "García";  // the first row of the answer to "gar"

// Forty surnames; the first G of the cycle is Gil, the first Ga Gallardo,
// the first Gar García (also in the order of nombre).
constexpr const char* kSurnames[] = {
    "Martínez", "López",  "Gil",     "Sánchez",  "Gallardo", "Pérez",   "García",  "Romero",
    "Garrido",  "Navarro", "Torres", "Domínguez", "Vázquez", "Ramos",   "Castillo", "Gómez",
    "Serrano",  "Blanco",  "Molina", "Morales",  "Suárez",   "Ortega",  "Delgado", "Castro",
    "Ortiz",    "Rubio",   "Marín",  "Sanz",     "Iglesias", "Nuñez",   "Medina",  "Cortés",
    "Garzón",   "Lozano",  "Guerrero", "Cano",   "Prieto",   "Méndez",  "Cruz",    "Calvo"};

// The rows: codigo 'P0000001'.., nombre a surname and the row's number.
std::string SurnameRows() {
  std::string values;
  int k = 0;
  for (const char* s : kSurnames) {
    values += (k ? ", (" : "(") + std::to_string(k) + ", '" + s + "')";
    ++k;
  }
  return "create table apellidos (k integer, v text); insert into apellidos values " + values + ";";
}

std::string PgAddress() { return trovel::bench::ServerAddress("TROVEL_PG_BENCH"); }

// The SQLite file, made by this process and removed at its exit.
struct SqliteFile {
  std::string path = (std::filesystem::temp_directory_path() /
                      ("trovel_typing_search_" + std::to_string(getpid()) + ".db"))
                         .string();
  SqliteFile() {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    trovel::bench::database_detail::Exec(
        db, "pragma journal_mode = off; pragma synchronous = off; begin;" + SurnameRows() +
                "create table personas (codigo text, nombre text);"
                "with recursive k(i) as (select 1 union all select i + 1 from k where i < " +
                std::to_string(kRows) +
                ") insert into personas select printf('P%07d', i), a.v || ' ' || i from k join apellidos a on "
                "a.k = i % 40; create index personas_nombre on personas (nombre); commit;");
    sqlite3_close(db);
  }
  ~SqliteFile() { std::filesystem::remove(path); }
};

void MakePgTable() {
  trovel::ExecuteScript(
      PgAddress(),
      "do $$ begin if to_regclass('personas') is null then " + SurnameRows() +
          " create table personas as select 'P' || lpad(i::text, 7, '0') as codigo, a.v || ' ' || i as nombre "
          "from generate_series(1, " +
          std::to_string(kRows) +
          ") i join apellidos a on a.k = i % 40 order by i; create index personas_nombre on personas "
          "((lower(nombre COLLATE \"und-x-icu\")) COLLATE \"C\"); analyze personas; end if; end $$");
}

// What the connector sends for the name box holding "gar" (BuscarAlEscribir
// reads it as the prefix "gar%"), as a plain client would write it.
std::string PlainStatement(bool pg, bool ordered) {
  return std::string(pg ? "select codigo, nombre from personas where lower((nombre)::text COLLATE \"und-x-icu\") COLLATE \"C\" "
              "LIKE (lower($1 COLLATE \"und-x-icu\") COLLATE \"C\") ESCAPE ''"
            : "select codigo, nombre from personas where nombre like ?") +
         (ordered ? " order by nombre" : "");
}

struct Figures {
  std::vector<double> last_key_to_block;  // seconds, one per trial
  double worst_key = 0;                   // seconds
  int stopped_reads = 0;
  std::vector<double> plain, model;       // seconds per first block
};
std::map<std::string, Figures> g_figures;

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())))];
}

// One user at the keyboard: ctlTrovel on `address`, typing "gar" once per
// trial, from an empty box whose own read has shown the table's first block.
struct Case {
  std::string backend;  // "SQLite" or "PostgreSQL"
  bool ordered;
  std::string Name() const { return backend + (ordered ? ", order by nombre" : ", no order"); }
  bool Pg() const { return backend == "PostgreSQL"; }
};

void Typing(benchmark::State& state, const Case& c, const std::string& address) {
  trovel::HeadlessHost host;
  Figures& f = g_figures[c.Name()];
  std::function<bool()> key_due;  // types the keys that are due; true when it typed one
  trovel::ConnectionSettings settings;
  settings.defer = host.Deferrer();
  settings.read_progress = [&](milliseconds) {
    const bool typed = key_due && key_due();
    f.stopped_reads += typed;
    return typed;  // the key stops the read, as the Qt host's watch does
  };
  trovel::ctlTrovel ctl(host);
  ctl.SentenciaSQL("select codigo, nombre from personas");
  ctl.NumCol(2);
  ctl.N_Campo1("codigo");
  ctl.N_Campo2("nombre");
  ctl.OrderBy(c.ordered ? "nombre" : "");
  ctl.PausaBusqueda(kPauseMs);
  ctl.glbDb(trovel::OpenConnection(address, settings));
  host.SetFocus(&ctl.txtNombre);
  auto answered = [&] { return ctl.grdDatos.Rows() > 1 && ctl.grdDatos.TextMatrix(1, 1).rfind(kAnswer, 0) == 0; };
  for (auto _ : state) {
    ctl.BuscarAlEscribir(false);
    ctl.txtNombre.SetText("");
    ctl.p_leer();
    ctl.BuscarAlEscribir(true);
    if (answered()) return state.SkipWithError("the table's first block already shows the answer");
    const Clock::time_point start = Clock::now();
    size_t next = 0;
    auto due = [&](size_t key) { return start + static_cast<int>(key) * kKeyEvery; };
    key_due = [&] {
      const size_t before = next;
      while (next < kKeyCount && Clock::now() >= due(next)) {
        host.TypeKey(ctl.txtNombre, kKeys[next]);
        f.worst_key = std::max(f.worst_key, std::chrono::duration<double>(Clock::now() - due(next)).count());
        ++next;
      }
      return next != before;
    };
    while (next < kKeyCount) {
      // Timers run meanwhile: a pause that ends starts its read here.
      host.Wait(std::chrono::ceil<milliseconds>(due(next) - Clock::now()));
      key_due();
    }
    key_due = nullptr;
    const Clock::time_point last_key = due(kKeyCount - 1);
    while (!answered() && Clock::now() - last_key < std::chrono::seconds(10)) {
      host.RunTimers();
      if (!answered()) std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    if (!answered() || !host.messages.empty()) return state.SkipWithError("the answer to \"gar\" never came");
    f.last_key_to_block.push_back(std::chrono::duration<double>(Clock::now() - last_key).count());
  }
  ctl.Quit();
}

void SqliteFloor(benchmark::State& state, const Case& c, const std::string& path) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  for (auto _ : state) {
    g_figures[c.Name()].plain.push_back(trovel::bench::Seconds([&] {
      sqlite3_stmt* stmt = nullptr;
      sqlite3_prepare_v2(db, PlainStatement(false, c.ordered).c_str(), -1, &stmt, nullptr);
      sqlite3_bind_text(stmt, 1, "gar%", -1, SQLITE_STATIC);
      int rows = 0;
      while (rows < kBlock && sqlite3_step(stmt) == SQLITE_ROW) {
        benchmark::DoNotOptimize(std::string(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1))));
        ++rows;
      }
      sqlite3_finalize(stmt);
      if (rows != kBlock) state.SkipWithError("the plain loop found no block");
    }));
  }
  sqlite3_close(db);
}

void PgFloor(benchmark::State& state, const Case& c) {
  PGconn* conn = PQconnectdb(PgAddress().c_str());
  if (PQstatus(conn) != CONNECTION_OK) state.SkipWithError(PQerrorMessage(conn));
  const std::string declare = "declare c no scroll cursor for " + PlainStatement(true, c.ordered);
  const char* value = "gar%";
  for (auto _ : state) {
    g_figures[c.Name()].plain.push_back(trovel::bench::Seconds([&] {
      PQclear(PQexec(conn, "begin read only"));
      PQclear(PQexecParams(conn, declare.c_str(), 1, nullptr, &value, nullptr, nullptr, 0));
      PGresult* r = PQexec(conn, "fetch forward 51 from c");
      for (int row = 0; row < PQntuples(r); ++row) benchmark::DoNotOptimize(std::string(PQgetvalue(r, row, 1)));
      if (PQntuples(r) != kBlock) state.SkipWithError("the plain cursor found no block");
      PQclear(r);
      PQclear(PQexec(conn, "commit"));
    }));
  }
  PQfinish(conn);
}

void ModelBlock(benchmark::State& state, const Case& c, QSqlDatabase db) {
  if (!db.open()) return state.SkipWithError(db.lastError().text().toStdString().c_str());
  const QString sql = QString::fromStdString(PlainStatement(c.Pg(), c.ordered)).replace("$1", "?");
  for (auto _ : state) {
    g_figures[c.Name()].model.push_back(trovel::bench::Seconds([&] {
      QSqlQuery query(db);
      query.prepare(sql);
      query.addBindValue(QString("gar%"));
      query.exec();
      QSqlQueryModel model;
      model.setQuery(std::move(query));
      for (int row = 0; row < kBlock; ++row) benchmark::DoNotOptimize(model.data(model.index(row, 1)));
      if (model.rowCount() < kBlock) state.SkipWithError("QSqlQueryModel found no block");
    }));
  }
}

void Report(const Case& c) {
  const Figures& f = g_figures[c.Name()];
  if (f.last_key_to_block.empty()) return;
  using namespace trovel::bench;
  const double pause = kPauseMs / 1e3, p50 = Percentile(f.last_key_to_block, 0.5),
               p99 = Percentile(f.last_key_to_block, 0.99);
  const double plain = pause + Percentile(f.plain, 0.5), model = pause + Percentile(f.model, 0.5);
  std::printf("typing \"gar\" at 8 keys/s, %s, %s rows, pause %d ms: last key to first block p50 %s, p99 %s "
              "(%zu trials, %d reads stopped by a key); pause + plain loop %s, pause + QSqlQueryModel %s; "
              "worst key wait %s\n",
              c.Name().c_str(), Count(kRows).c_str(), kPauseMs, Duration(p50).c_str(), Duration(p99).c_str(),
              f.last_key_to_block.size(), f.stopped_reads, Duration(plain).c_str(), Duration(model).c_str(),
              Duration(f.worst_key).c_str());
  Summary("search as you type, last key of \"gar\" to first block, " + c.Name() + " (pause 60 ms)", Count(kRows),
          "p50 " + Duration(p50) + ", p99 " + Duration(p99),
          Duration(plain) + (c.Pg() ? " pause + libpq cursor" : " pause + sqlite3 loop"),
          Duration(model) + " pause + setQuery",
          Ratio(p50 / plain, "plain") + "; p99 " + (p99 < 0.1 ? "< 100 ms: met" : ">= 100 ms: missed") +
              "; worst key " + Duration(f.worst_key) + (f.worst_key < 0.016 ? " (< 16 ms: met)" : " (>= 16 ms: missed)"));
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  try {
    const SqliteFile sqlite;
    const bool pg = !PgAddress().empty();
    if (pg) MakePgTable();
    std::vector<Case> cases;
    for (const char* backend : {"SQLite", "PostgreSQL"})
      for (bool ordered : {false, true})
        if (backend != std::string("PostgreSQL") || pg) cases.push_back({backend, ordered});
    for (const Case& c : cases) {
      const std::string address = c.Pg() ? PgAddress() : sqlite.path;
      auto add = [&](const std::string& what, std::function<void(benchmark::State&)> run) {
        benchmark::RegisterBenchmark(("BM_" + what + "/" + c.Name()).c_str(), std::move(run))
            ->Unit(benchmark::kMillisecond)
            ->Iterations(kTrials)
            ->Repetitions(1);
      };
      add("Typing", [c, address](benchmark::State& s) { Typing(s, c, address); });
      add("PlainLoop", [c, address](benchmark::State& s) { c.Pg() ? PgFloor(s, c) : SqliteFloor(s, c, address); });
      add("QSqlQueryModel", [c, address](benchmark::State& s) {
        const QString name = QString::fromStdString(c.Name());
        {
          QSqlDatabase db;
          if (c.Pg()) {
            db = trovel::bench::AddQPsqlDatabase(name, address);
          } else {
            db = QSqlDatabase::addDatabase("QSQLITE", name);
            db.setDatabaseName(QString::fromStdString(address));
          }
          ModelBlock(s, c, db);
        }
        QSqlDatabase::removeDatabase(name);
      });
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const Case& c : cases) Report(c);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "search_as_you_type_bench: %s\n", e.what());
    return 1;
  }
  return 0;
}
