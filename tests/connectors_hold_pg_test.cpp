// A PostgreSQL read declared again after the hold time gives the rows the
// old cursor would have given, on a table large enough for the plans that
// would otherwise start elsewhere: a sequential scan that joins another one
// under way, a parallel plan. Ties in ORDER BY and no ORDER BY at all.
#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <chrono>
#include <string>
#include <vector>

#include "connectors/PgConnection.h"
#include "platform/Error.h"
#include "platform/HeadlessHost.h"
#include "tests/PgServers.h"

namespace trovel {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kHold(200);
constexpr int kTableRows = 300000;

class HoldOnPgTest : public ::testing::Test {
 protected:
  static constexpr const char* kSchema = "retencion_grande";

  // The table is made once for the suite: a few seconds of inserts.
  static void SetUpTestSuite() {
    try {
      const PgServers servers = PgServers::Load();
      PgConnection::Execute(servers.primary,
                            std::string("drop schema if exists ") + kSchema + " cascade; create schema " + kSchema +
                                "; create table " + kSchema +
                                ".grande (id int, grupo int, relleno text);"
                                " insert into " + kSchema +
                                ".grande select g, g % 10, md5(g::text) || repeat('x', 80)"
                                " from generate_series(1, " + std::to_string(kTableRows) + ") g;"
                                " analyze " + kSchema + ".grande");
    } catch (const std::exception& e) {
      made_ = e.what();
      return;
    }
    made_ = "";
  }

  void SetUp() override {
    ASSERT_EQ(made_, "");
    servers = PgServers::Load();
    address = servers.primary + " options='-c search_path=" + kSchema + "'";
  }

  // Every id of `sql` read in one go.
  std::vector<int> AllIds(const std::string& sql) {
    PgConnection db(address);
    std::string text = sql;
    bool flag = false;
    std::vector<int> ids;
    for (auto c = db.OpenCursor(text, flag); !c->AtEnd(); c->MoveNext()) ids.push_back(c->Fields().Item("id").ToLong());
    return ids;
  }

  // Moves the place where the next synchronized scan of grande starts: a
  // scan in another session stops in the middle of the table.
  void ScanHalfTheTable() {
    PgConnection::Execute(address,
                          "begin; set local synchronize_seqscans = on; declare mitad cursor for select * from grande;"
                          " move forward " + std::to_string(kTableRows / 2) + " from mitad; commit");
  }

  // The plan the planner chooses for `sql` in a session of the server's
  // defaults (through libpq: a search refuses EXPLAIN).
  std::string Plan(const std::string& sql) {
    PGconn* conn = PQconnectdb(address.c_str());
    PGresult* r = PQexec(conn, ("explain " + sql).c_str());
    std::string plan;
    for (int i = 0; i < PQntuples(r); ++i) (plan += PQgetvalue(r, i, 0)) += '\n';
    if (PQresultStatus(r) != PGRES_TUPLES_OK) plan = PQerrorMessage(conn);
    PQclear(r);
    PQfinish(conn);
    return plan;
  }

  static inline std::string made_ = "not made";
  PgServers servers;
  std::string address;
};

TEST_F(HoldOnPgTest, AReadDeclaredAgainGoesOnWithTheSameRows) {
  // A page press after a pause needs the rows after those already fetched
  // (52 for the first block, then 2,048 at a time): the pause comes after
  // the first block and again after a later one.
  struct Case {
    const char* name;
    const char* sql;
  } cases[] = {
      {"ties in ORDER BY", "select id, grupo from grande where id % 7 = 0 order by grupo"},
      {"no ORDER BY", "select id, grupo from grande where id % 7 = 0"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    EXPECT_NE(Plan(k.sql).find("Gather"), std::string::npos) << Plan(k.sql);
    ScanHalfTheTable();
    const std::vector<int> expected = AllIds(k.sql);
    ASSERT_EQ(expected.size(), static_cast<size_t>(kTableRows / 7));

    HeadlessHost host;
    ConnectionSettings settings;
    settings.hold_time = kHold;
    settings.defer = host.Deferrer();
    PgConnection db(address + " application_name=trovel_hold_grande", settings);
    std::string sql = k.sql;
    bool flag = false;
    auto cursor = db.OpenCursor(sql, flag);
    std::vector<int> ids;
    auto read = [&](size_t rows) {
      for (size_t i = 0; i < rows && !cursor->AtEnd(); ++i, cursor->MoveNext())
        ids.push_back(cursor->Fields().Item("id").ToLong());
    };
    for (size_t pause_after : {size_t{51}, size_t{52 + 2048 + 10}}) {
      read(pause_after - ids.size());
      ScanHalfTheTable();
      host.Wait(kHold + milliseconds(100));
      PgConnection watcher(servers.primary);
      std::string state = "select state from pg_stat_activity where application_name = 'trovel_hold_grande'";
      EXPECT_EQ(watcher.OpenCursor(state, flag)->Fields().Item("state").ToString(), "idle");
    }
    read(expected.size());
    EXPECT_TRUE(cursor->AtEnd());
    ASSERT_EQ(ids.size(), expected.size());
    size_t first_difference = 0;
    while (first_difference < ids.size() && ids[first_difference] == expected[first_difference]) ++first_difference;
    EXPECT_EQ(first_difference, ids.size()) << "rows differ from row " << first_difference + 1;
  }
}

}  // namespace
}  // namespace trovel
