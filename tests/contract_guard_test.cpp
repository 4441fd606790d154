// Guarded reads on every backend: a read does nothing a search never does
// (write, attach, change settings, hold a transaction, read the schema on
// SQLite), reads whatever its developer wrote, and stops at the time limit
// with the same message everywhere. After each refusal the tables are whole
// and the next read works.
#include <gtest/gtest.h>

#include "connectors/ReadRefusal.h"
#include "platform/Error.h"
#include "tests/ContractDatabase.h"

namespace trovel {
namespace {

constexpr const char* kName = "guarda";

class ReadGuardTest : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    try {
      address = ContractDatabase::Make(GetParam(), kName);
      ExecuteScript(address, "create table secretos (clave text); insert into secretos values ('s1'), ('s2')");
      if (!Sqlite()) ExecuteScript(address, "create sequence sec");
    } catch (const std::exception& e) {
      FAIL() << GetParam() << ": " << e.what();
    }
  }
  void TearDown() override { ContractDatabase::Remove(kName); }

  bool Sqlite() const { return GetParam() == "sqlite"; }

  // Reads every row of `sql`; returns "" or the message of the failure.
  static std::string Read(DataConnection& db, std::string sql, int* rows = nullptr) {
    try {
      bool flag = false;
      auto cursor = db.OpenCursor(sql, flag);
      int n = 0;
      for (; !cursor->AtEnd(); cursor->MoveNext()) ++n;
      if (rows) *rows = n;
      return "";
    } catch (const Error& e) {
      return e.description();
    }
  }

  // Both tables are whole, and the connection still reads.
  void ExpectWhole(DataConnection& db, const std::string& after) {
    int rows = 0;
    EXPECT_EQ(Read(db, "select codigo, nombre, alta, n, saldo, ciudad from clientes", &rows), "") << after;
    EXPECT_EQ(rows, ContractDatabase::kRows) << after;
    auto check = OpenConnection(address);
    EXPECT_EQ(Read(*check, "select clave from secretos where clave in ('s1', 's2')", &rows), "") << after;
    EXPECT_EQ(rows, 2) << after;
  }

  std::string address;
};

// What a host's own statement may not do, whatever it is: write, through a
// second statement or a data-modifying WITH; on SQLite also attach, pragma,
// open a transaction, read the schema or load code.
TEST_P(ReadGuardTest, RefusesWhatASearchNeverDoes) {
  std::vector<std::string> refused = {
      "select codigo from clientes; delete from clientes",
      "delete from clientes",
      "update clientes set nombre = 'x'",
      "with d as (delete from clientes returning codigo) select codigo from d",
      "insert into secretos values ('s3')",
  };
  const std::vector<std::string> own = Sqlite() ? std::vector<std::string>{
      "select codigo, nombre from clientes where 1=1 and codigo like 'x' union select name, sql from sqlite_master",
      "select codigo, nombre from clientes where 1=1 and n = 0 union select type, tbl_name from sqlite_schema",
      "select codigo, nombre from clientes where 1=1 and load_extension('x') is null",
      "select codigo, nombre from clientes where 1=1 and nombre in (select name from pragma_table_info('secretos'))",
      "attach 'x.db' as n", "detach n", "begin", "begin immediate", "savepoint a", "pragma query_only = 0",
      "pragma table_info(secretos)", "pragma writable_schema = 1",
  } : std::vector<std::string>{
      "select codigo from clientes for update",
      "select codigo from clientes where nextval('sec') > 0",
  };
  refused.insert(refused.end(), own.begin(), own.end());
  auto db = OpenConnection(address);
  for (const std::string& sql : refused) {
    EXPECT_NE(Read(*db, sql), "") << sql;
    ExpectWhole(*db, sql);
  }
  EXPECT_FALSE(std::filesystem::exists("x.db"));
  if (Sqlite()) {
    EXPECT_EQ(Read(*db, "select name from sqlite_master"), ReadRefusal::NotAllowed());
  }
}

// A statement reads what its developer wrote: other tables in a subquery, a
// join or a recursive query included. What a user types never reaches it
// but as a bound value (the hostile and injection suites).
TEST_P(ReadGuardTest, ReadsWhatItsDeveloperWrote) {
  struct Case {
    const char* sql;
    int rows;
  } cases[] = {
      {"select codigo from clientes where 1=1 and codigo in (select codigo from clientes where n <= 3)", 3},
      {"select c.codigo from clientes c join secretos s on s.clave = 's1' where 1=1 and c.n <= 2", 2},
      {"select codigo from clientes where codigo in (select 'C00' || substr(clave, 2) from secretos)", 2},
      {"with recursive k(i) as (select 1 union all select i + 1 from k where i < 5) select i from k where i > 2", 3},
  };
  auto db = OpenConnection(address);
  for (const Case& k : cases) {
    int rows = -1;
    EXPECT_EQ(Read(*db, k.sql, &rows), "") << k.sql;
    EXPECT_EQ(rows, k.rows) << k.sql;
  }
}

// An endless read stops at the limit with the clear message, and so does one
// the host stops (the user's Escape); the connection reads on afterwards.
TEST_P(ReadGuardTest, StopsAReadAtItsTimeLimitOrWhenTheHostAsks) {
  // MariaDB ends a recursive query after max_recursive_iterations (1,000)
  // without a word: there the endless read is a join of four copies of the
  // table, 112 million rows that none meets.
  const std::string endless =
      GetParam() == "mariadb"
          ? "select a.codigo from clientes a, clientes b, clientes c, clientes d where 1=1 and a.n + b.n + c.n + d.n < 0"
          : "with recursive k(i) as (select 1 union all select i + 1 from k) "
            "select codigo from clientes, k where 1=1 and i < 0";
  ConnectionSettings limited;
  limited.read_time_limit = std::chrono::seconds(1);
  auto db = OpenConnection(address, limited);
  EXPECT_EQ(Read(*db, endless), "La consulta excedió el tiempo máximo (1 s)");
  ExpectWhole(*db, "time limit");

  ConnectionSettings stopped;
  int calls = 0;
  stopped.read_progress = [&calls](std::chrono::milliseconds elapsed) { return ++calls > 2 && elapsed.count() > 0; };
  db = OpenConnection(address, stopped);
  EXPECT_EQ(Read(*db, endless), ReadRefusal::Stopped());
  EXPECT_GT(calls, 2);
  ExpectWhole(*db, "stopped");
  EXPECT_EQ(ReadRefusal::TimedOut(std::chrono::milliseconds(30000)), "La consulta excedió el tiempo máximo (30 s)");
  EXPECT_EQ(ReadRefusal::TimedOut(std::chrono::milliseconds(1250)), "La consulta excedió el tiempo máximo (1,25 s)");
}

std::string BackendOf(const ::testing::TestParamInfo<std::string>& info) { return info.param; }
INSTANTIATE_TEST_SUITE_P(Backends, ReadGuardTest, ::testing::Values("sqlite", "postgresql", "mariadb", "pgodbc", "pgbouncer"),
                         BackendOf);

}  // namespace
}  // namespace trovel
