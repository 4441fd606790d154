// The first block of a search on MariaDB through ODBC (odbc-mariadb),
// side by side in one run:
//
//   ctlTrovel reading its first 51 rows of a 1,000,000-row table, and of a
//   1,000-row table (target: within 1.2x, and the client's memory flat);
//   a plain ODBC loop (SQLExecDirect, then a block fetch of 52 rows) over
//   the large table;
//   Qt's QSqlQueryModel showing the same 51 rows over QODBC (the same
//   driver) and over QMYSQL (the client library), which read the whole
//   result first.
//
// Paging: a read, then next presses until 100,000 rows are in the grid,
// against the plain ODBC loop fetching the same rows in blocks of 52
// (target: within 1.5x per row).
//
// Each case also reports the client's peak memory while it ran (resident
// set above what it was before; memory that an earlier case freed is
// reused, so a later case's peak is a floor). The server is the one whose ODBC address
// TROVEL_ODBC_BENCH holds; `make bench` starts a throw-away one
// (tests/mariadb/mariadb.sh) and stops it afterwards.
#include <benchmark/benchmark.h>
#include <sql.h>
#include <sqlext.h>

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQueryModel>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <vector>

#include "bench/BenchControls.h"
#include "bench/PeakMeasure.h"
#include "bench/ServerBench.h"
#include "bench/Summary.h"
#include "connectors/OdbcAddress.h"
#include "connectors/OpenConnection.h"
#include "ctltrovel/ctlTrovel.h"
#include "platform/HeadlessHost.h"

namespace {

constexpr int kLarge = 1000000, kSmall = 1000;
constexpr int kPagingRows = 100000;

std::string Address() { return trovel::bench::ServerAddress("TROVEL_ODBC_BENCH"); }

std::string Query(int rows) {
  return std::string("select codigo, nombre, saldo, alta from ") + (rows == kLarge ? "grande" : "chica");
}

// The tables of pg_bench, made by MariaDB's sequence engine (seq_1_to_N).
void MakeTables() {
  std::string sql;
  for (auto [name, rows] : {std::pair{"grande", kLarge}, {"chica", kSmall}})
    sql += std::string("drop table if exists ") + name + "; create table " + name +
           " engine=InnoDB as select 'C' || lpad(seq, 7, '0') as codigo, 'Cliente ' || seq as nombre,"
           " cast(seq * 1.5 as decimal(12,1)) as saldo, date '2000-01-01' + interval (seq % 9000) day as alta"
           " from seq_1_to_" +
           std::to_string(rows) + "; analyze table " + name + ";";
  trovel::ExecuteScript(Address(), sql);
}

// Rows each paging case reached.
std::map<std::string, int> g_paged_rows;

void Configure(trovel::ctlTrovel& ctl, int rows) {
  trovel::bench::ConfigureCtlTrovel(ctl, false);
  ctl.SentenciaSQL(Query(rows));
  ctl.glbDb(trovel::OpenConnection(Address()));
}

// A plain ODBC client: one driver connection, and for each read a
// forward-only, read-only statement run with SQLExecDirect whose rows come
// 52 at a time into bound arrays, each value read as text.
class PlainOdbc {
 public:
  PlainOdbc() {
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_);
    SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_);
    std::string text = trovel::OdbcAddress::ConnectionString(Address());
    ok_ = SQL_SUCCEEDED(SQLDriverConnect(dbc_, nullptr, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS, nullptr, 0,
                                         nullptr, SQL_DRIVER_NOPROMPT));
  }
  ~PlainOdbc() {
    if (ok_) SQLDisconnect(dbc_);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
    SQLFreeHandle(SQL_HANDLE_ENV, env_);
  }
  PlainOdbc(const PlainOdbc&) = delete;
  PlainOdbc& operator=(const PlainOdbc&) = delete;

  bool ok() const { return ok_; }

  // Reads rows of `sql` until `rows` are read or none are left; the rows read.
  int Read(const std::string& sql, int rows) {
    SQLHSTMT stmt = nullptr;
    SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &stmt);
    SQLSetStmtAttr(stmt, SQL_ATTR_CURSOR_TYPE, reinterpret_cast<SQLPOINTER>(SQL_CURSOR_FORWARD_ONLY), 0);
    SQLSetStmtAttr(stmt, SQL_ATTR_CONCURRENCY, reinterpret_cast<SQLPOINTER>(SQL_CONCUR_READ_ONLY), 0);
    int read = 0;
    if (SQL_SUCCEEDED(SQLExecDirect(stmt, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())), SQL_NTS))) {
      constexpr SQLULEN kBlock = 52, kWidth = 64;
      static char values[4][kBlock][kWidth];
      static SQLLEN lengths[4][kBlock];
      SQLULEN fetched = 0;
      SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(kBlock), 0);
      SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0);
      for (SQLUSMALLINT col = 0; col < 4; ++col)
        SQLBindCol(stmt, col + 1, SQL_C_CHAR, values[col], kWidth, lengths[col]);
      while (read < rows && SQL_SUCCEEDED(SQLFetch(stmt))) {
        for (SQLULEN row = 0; row < fetched; ++row)
          for (int col = 0; col < 4; ++col)
            benchmark::DoNotOptimize(std::string(values[col][row], static_cast<size_t>(std::max<SQLLEN>(lengths[col][row], 0))));
        read += static_cast<int>(fetched);
      }
    }
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    return read;
  }

 private:
  SQLHENV env_ = nullptr;
  SQLHDBC dbc_ = nullptr;
  bool ok_ = false;
};

void BM_CtlTrovelFirstBlock(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  trovel::HeadlessHost host;
  trovel::ctlTrovel ctl(host);
  Configure(ctl, rows);
  trovel::bench::MeasureFirstBlock(state, host, ctl, rows);
  ctl.Quit();
}

void BM_PlainOdbcFirstBlock(benchmark::State& state) {
  PlainOdbc odbc;
  if (!odbc.ok()) state.SkipWithError("the plain ODBC loop could not connect");
  trovel::bench::MeasureWithPeak(state, "plain ODBC", [&] {
    if (odbc.Read(Query(kLarge), 52) != 52) state.SkipWithError("the plain ODBC loop read no 52 rows");
  });
}

// QODBC takes the connection string as its database name; QMYSQL the
// socket of the same server.
void QtModel(benchmark::State& state, const char* driver) {
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(driver, "bench");
    const std::string text = trovel::OdbcAddress::ConnectionString(Address());
    if (std::string(driver) == "QODBC") {
      db.setDatabaseName(QString::fromStdString(text));
    } else {
      db.setDatabaseName(QString::fromStdString(trovel::OdbcAddress::Value(Address(), "DATABASE")));
      db.setUserName(QString::fromStdString(trovel::OdbcAddress::Value(Address(), "UID")));
      db.setConnectOptions("UNIX_SOCKET=" + QString::fromStdString(trovel::OdbcAddress::Value(Address(), "SOCKET")));
    }
    if (!db.open()) state.SkipWithError(db.lastError().text().toStdString().c_str());
    trovel::bench::MeasureWithPeak(state, driver, [&] {
      QSqlQueryModel model;
      model.setQuery(QString::fromStdString(Query(kLarge)), db);
      for (int row = 0; row < 51; ++row)
        for (int col = 0; col < 4; ++col) benchmark::DoNotOptimize(model.data(model.index(row, col)));
      if (model.lastError().isValid()) state.SkipWithError(model.lastError().text().toStdString().c_str());
    });
  }
  QSqlDatabase::removeDatabase("bench");
}
void BM_QSqlQueryModelQodbc(benchmark::State& state) { QtModel(state, "QODBC"); }
void BM_QSqlQueryModelQmysql(benchmark::State& state) { QtModel(state, "QMYSQL"); }

void BM_CtlTrovelPaging(benchmark::State& state) {
  trovel::HeadlessHost host;
  trovel::ctlTrovel ctl(host);
  Configure(ctl, kLarge);
  g_paged_rows["paging ctlTrovel"] = trovel::bench::MeasurePaging(state, host, ctl, kPagingRows);
  ctl.Quit();
}

void BM_PlainOdbcPaging(benchmark::State& state) {
  PlainOdbc odbc;
  if (!odbc.ok()) state.SkipWithError("the plain ODBC loop could not connect");
  trovel::bench::MeasureWithPeak(state, "paging plain ODBC", [&] {
    g_paged_rows["paging plain ODBC"] = odbc.Read(Query(kLarge), kPagingRows);
    if (g_paged_rows["paging plain ODBC"] < kPagingRows) state.SkipWithError("the loop read fewer than 100,000 rows");
  });
}

// The control's first blocks run first, before any case has grown the
// heap: memory that a case freed would hide the next one's peak.
BENCHMARK(BM_CtlTrovelFirstBlock)
    ->Arg(kLarge)
    ->Arg(kSmall)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(200)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
// A driver that stores the whole result takes the better part of a second
// a read: a few reads tell.
BENCHMARK(BM_PlainOdbcFirstBlock)->Unit(benchmark::kMillisecond)->Iterations(2)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_QSqlQueryModelQodbc)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_QSqlQueryModelQmysql)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_CtlTrovelPaging)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_PlainOdbcPaging)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  return trovel::bench::RunOnServer("odbc_bench", "TROVEL_ODBC_BENCH", argc, argv, MakeTables, [] {
    const std::map<std::string, std::pair<double, double>> r = trovel::bench::MeasuredCases();
    using namespace trovel::bench;
    if (r.count("paging ctlTrovel") && r.count("paging plain ODBC")) {
      const double trovel = r.at("paging ctlTrovel").first * 1e9 / g_paged_rows["paging ctlTrovel"];
      const double plain = r.at("paging plain ODBC").first * 1e9 / g_paged_rows["paging plain ODBC"];
      std::printf(
          "ctlTrovel paging to 100,000 rows: %.0f ns/row against %.0f ns/row for a plain ODBC loop: %.2fx "
          "(target <= 1.5x)\n",
          trovel, plain, trovel / plain);
      Summary("paging ctlTrovel, next presses, MariaDB ODBC", Count(g_paged_rows["paging ctlTrovel"]),
              Figure(trovel, "ns/row"), Figure(plain, "ns/row") + " plain ODBC loop", "-",
              Ratio(trovel / plain, "plain", 1.5));
    }
    if (r.count("ctlTrovel 1000000") && r.count("ctlTrovel 1000") && r.count("plain ODBC") && r.count("QODBC") &&
        r.count("QMYSQL")) {
      const double large = r.at("ctlTrovel 1000000").first, small = r.at("ctlTrovel 1000").first;
      const double plain = r.at("plain ODBC").first, qodbc = r.at("QODBC").first, qmysql = r.at("QMYSQL").first;
      std::printf("ctlTrovel first block, 1,000,000 / 1,000 rows: %.2fx (target <= 1.2x)\n", large / small);
      std::printf("ctlTrovel / plain ODBC loop reading 52 rows: %.3fx (%.2f ms against %.0f ms)\n", large / plain,
                  large * 1e3, plain * 1e3);
      std::printf("QSqlQueryModel / ctlTrovel, 1,000,000 rows: QODBC %.0fx (%.0f ms), QMYSQL %.0fx (%.0f ms)\n",
                  qodbc / large, qodbc * 1e3, qmysql / large, qmysql * 1e3);
      std::printf(
          "client peak memory: ctlTrovel %.1f MB on 1,000,000 rows, %.1f MB on 1,000; plain ODBC loop %.1f MB; "
          "QODBC %.1f MB; QMYSQL %.1f MB\n",
          r.at("ctlTrovel 1000000").second, r.at("ctlTrovel 1000").second, r.at("plain ODBC").second,
          r.at("QODBC").second, r.at("QMYSQL").second);
      Summary("first block ctlTrovel, MariaDB ODBC", Count(kLarge), Duration(large),
              Duration(plain) + " plain ODBC loop", Duration(qodbc) + " QODBC, " + Duration(qmysql) + " QMYSQL",
              Ratio(large / plain, "plain") + "; " + Ratio(large / small, "1M/1k", 1.2));
      Summary("client peak memory ctlTrovel, MariaDB ODBC", Count(kLarge),
              Figure(r.at("ctlTrovel 1000000").second, "MB"),
              Figure(r.at("ctlTrovel 1000").second, "MB") + " on 1,000 rows; " +
                  Figure(r.at("plain ODBC").second, "MB") + " plain ODBC loop",
              Figure(r.at("QODBC").second, "MB") + " QODBC, " + Figure(r.at("QMYSQL").second, "MB") + " QMYSQL", "-");
    }
  });
}
