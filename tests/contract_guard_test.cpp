// Guarded reads on every backend: a read may use only what its own base
// statement reads (or what the host adds to the scope), does nothing a search
// never does, and stops at the time limit with the same message everywhere.
// After each refusal the table is whole and the next read works.
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
    auto check = OpenConnection(address, Widened());
    EXPECT_EQ(Read(*check, "select clave from secretos where clave in ('s1', 's2')", &rows), "") << after;
    EXPECT_EQ(rows, 2) << after;
  }

  static ConnectionSettings Widened() {
    ConnectionSettings s;
    s.read_scope = {"Secretos"};
    return s;
  }

  std::string address;
};

// Each statement is what a control sends after a hostile filter: the base
// "select codigo, nombre from clientes" and whatever the text made of the rest.
TEST_P(ReadGuardTest, RefusesWhatLiesBeyondTheBaseStatement) {
  std::vector<std::string> refused = {
      "select codigo, nombre from clientes where 1=1 and nombre like 'x' union select clave, clave from secretos",
      "select codigo, nombre from clientes where 1=1 and codigo in (select clave from secretos)",
      "select codigo, nombre from clientes where 1=1 and exists (select 1 from secretos where clave like 's%')",
      "select codigo, nombre from clientes where 1=1 and (select count(*) from secretos) > 0",
  };
  const std::vector<std::string> own = Sqlite() ? std::vector<std::string>{
      "select codigo, nombre from clientes where 1=1 and codigo like 'x' union select name, sql from sqlite_master",
      "select codigo, nombre from clientes where 1=1 and n = 0 union select type, tbl_name from sqlite_schema",
      "select codigo, nombre from clientes where 1=1 and load_extension('x') is null",
      "select codigo, nombre from clientes where 1=1 and name in (select name from pragma_table_info('secretos'))",
      "attach 'x.db' as n", "detach n", "begin", "begin immediate", "savepoint a", "pragma query_only = 0",
      "pragma table_info(secretos)", "pragma writable_schema = 1",
  } : std::vector<std::string>{
      "select codigo, nombre from clientes where 1=1 and codigo like 'x' union select tablename::text collate es, schemaname::text collate es from pg_tables",
      "select codigo, nombre from clientes where 1=1 union select rolname::text collate es, 'r' from pg_roles",
      "select codigo, nombre from clientes where 1=1 and pg_read_file('/etc/passwd') is not null",
      "select codigo, nombre from clientes where 1=1 and (select count(*) from pg_class) > 0",
  };
  refused.insert(refused.end(), own.begin(), own.end());
  auto db = OpenConnection(address);
  for (const std::string& sql : refused) {
    const std::string message = Read(*db, sql);
    EXPECT_EQ(message, ReadRefusal::OutOfScope()) << sql;
    EXPECT_EQ(db->LastErrorText().find("secretos"), std::string::npos) << sql;
    ExpectWhole(*db, sql);
  }
  EXPECT_FALSE(std::filesystem::exists("x.db"));
}

TEST_P(ReadGuardTest, ReadsWhatTheBaseStatementOrTheHostEntitlesItTo) {
  struct Case {
    const char* sql;
    bool widened;
    int rows;
  } cases[] = {
      {"select codigo from clientes where 1=1 and codigo in (select codigo from clientes where n <= 3)", false, 3},
      {"select c.codigo from clientes c join secretos s on s.clave = 's1' where 1=1 and c.n <= 2", false, 2},
      {"select codigo from clientes where codigo in (select 'C00' || substr(clave, 2) from secretos)", true, 2},
      {"with recursive k(i) as (select 1 union all select i + 1 from k where i < 5) select i from k where i > 2",
       false, 3},
  };
  for (const Case& k : cases) {
    auto db = OpenConnection(address, k.widened ? Widened() : ConnectionSettings());
    int rows = -1;
    EXPECT_EQ(Read(*db, k.sql, &rows), "") << k.sql;
    EXPECT_EQ(rows, k.rows) << k.sql;
  }
}

// An endless read stops at the limit with the clear message, and so does one
// the host stops (the user's Escape); the connection reads on afterwards.
TEST_P(ReadGuardTest, StopsAReadAtItsTimeLimitOrWhenTheHostAsks) {
  const std::string endless =
      "with recursive k(i) as (select 1 union all select i + 1 from k) "
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
INSTANTIATE_TEST_SUITE_P(Backends, ReadGuardTest, ::testing::Values("sqlite", "postgresql"), BackendOf);

}  // namespace
}  // namespace trovel
