#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "PgServers.h"
#include "connectors/OpenConnection.h"
#include "connectors/PgAddress.h"
#include "connectors/PgConnection.h"
#include "search/ClauseBuilder.h"
#include "platform/Error.h"

namespace trovel {
namespace {

// Each test works in a schema of its own on the throw-away primary.
class PgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    try {
      servers = PgServers::Load();
    } catch (const std::exception& e) {
      FAIL() << e.what();
    }
    schema = "t_";
    for (char c : std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()))
      schema += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    ExecuteScript(servers.primary,
                  "drop schema if exists " + schema + " cascade; create schema " + schema + "; set search_path = " +
                      schema +
                      ";"
                      "create table clientes (codigo text, nombre text, alta date, visto timestamp, zona timestamptz,"
                      "  saldo numeric(10,2), peso real, ratio float8, n int4, chico int2, grande int8, activo bool,"
                      "  nota varchar(20));"
                      "insert into clientes values"
                      " ('A1', 'Ana García', '2001-12-25', '2002-01-03 10:20:30.5', '2002-01-03 10:20:30', 10.50,"
                      "  1.5, 0.25, 1, 2, 3000000000, true, 'C:\\temp'),"
                      " ('B2', 'Íñigo', '2002-01-03', null, null, -4, null, null, -7, null, 7, false, '100%'),"
                      " ('C3', null, null, null, null, null, null, null, null, null, null, null, null),"
                      " ('D4', 'Zoe', '2001-12-24', null, null, null, null, null, null, null, null, null, 'GARCIA');"
                      "create sequence sec;");
    db = std::make_shared<PgConnection>(Address(servers.primary));
  }

  std::string Address(const std::string& base) const {
    return base + " options='-c search_path=" + schema + ",public'";
  }

  std::shared_ptr<DataCursor> Open(std::string sql, DataConnection* on = nullptr) {
    bool flag = true;
    auto c = (on ? on : db.get())->OpenCursor(sql, flag);
    EXPECT_FALSE(flag);
    return c;
  }

  // Reads the rows left in `c`, field `name` of each as text.
  static std::vector<std::string> Rows(DataCursor& c, const std::string& name, int limit = 1 << 30) {
    std::vector<std::string> rows;
    for (; !c.AtEnd() && limit-- > 0; c.MoveNext()) {
      Variant v = c.Fields().Item(name);
      rows.push_back(v.IsNull() ? "NULL" : v.ToString());
    }
    return rows;
  }

  int CountRows(std::string sql) { return static_cast<int>(Rows(*Open(std::move(sql)), "codigo").size()); }

  // The one value of a one-row statement, as text, read on `on`.
  std::string Value(std::string sql, DataConnection& on) {
    auto c = Open(std::move(sql), &on);
    std::string v = c->AtEnd() ? "no row" : c->Fields().Item("v").ToString();
    c->Close();
    return v;
  }

  PgServers servers;
  std::string schema;
  std::shared_ptr<PgConnection> db;
};

// A session is the same whatever the server, the role or the address set
// by default: what the statements rely on is pinned when it connects, and it
// names itself to the server.
TEST_F(PgTest, EverySessionPinsWhatItsStatementsRelyOn) {
  PgConnection odd(servers.primary + " options='-c search_path=" + schema +
                   ",public -c standard_conforming_strings=off -c DateStyle=SQL,DMY -c TimeZone=Asia/Tokyo'");
  EXPECT_EQ(Value("select current_setting('standard_conforming_strings') as v", odd), "on");
  EXPECT_EQ(Value("select current_setting('DateStyle') as v", odd), "ISO, MDY");
  EXPECT_EQ(Value("select current_setting('client_encoding') as v", odd), "UTF8");
  EXPECT_NE(Value("select current_setting('TimeZone') as v", odd), "Asia/Tokyo");
  EXPECT_EQ(Value("select application_name as v from pg_stat_activity where pid = pg_backend_pid()", odd), "trovel");
  // A backslash in a typed pattern is a character, and a month-first date
  // reads as such, whatever the defaults said.
  ClauseBuilder sql("select codigo from clientes");
  sql.And("nota");
  sql.Like("C:\\%");
  sql.And("alta");
  sql.CompareDate("", "'", "12/25/2001", ClauseBuilder::DayMonth::kAsTyped);
  bool flag = false;
  EXPECT_EQ(Rows(*odd.OpenCursor(sql.Finish(""), flag), "codigo"), std::vector<std::string>{"A1"});
  PgConnection named(Address(servers.primary) + " application_name=ventas");
  EXPECT_EQ(Value("select application_name as v from pg_stat_activity where pid = pg_backend_pid()", named), "ventas");
}

// The time limit is set for each read's own transaction, and never longer
// than the one the session was given by the server, the role or the address.
TEST_F(PgTest, TheTimeLimitHoldsForEachReadAndNeverPassesTheServersOwn) {
  ConnectionSettings two_seconds;
  two_seconds.read_time_limit = std::chrono::seconds(2);
  PgConnection longer(Address(servers.primary) + " options='-c statement_timeout=1min'", two_seconds);
  EXPECT_EQ(Value("select current_setting('statement_timeout') as v", longer), "2s");
  ConnectionSettings thirty_seconds;
  thirty_seconds.read_time_limit = std::chrono::seconds(30);
  PgConnection shorter(Address(servers.primary) + " options='-c statement_timeout=1s'", thirty_seconds);
  EXPECT_EQ(Value("select current_setting('statement_timeout') as v", shorter), "1s");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(Value("select pg_sleep(5)::text as v", shorter), Error);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  EXPECT_EQ(Value("select 'still reading' as v", shorter), "still reading");
}

TEST_F(PgTest, ValuesComeBackByColumnType) {
  auto c = Open("select * from clientes order by codigo");
  struct Case {
    const char* field;
    Variant first, second;
  } cases[] = {
      {"CODIGO", Variant("A1"), Variant("B2")},
      {"Nombre", Variant("Ana García"), Variant("Íñigo")},
      {"alta", Variant(DateTime{2001, 12, 25, 0, 0, 0}), Variant(DateTime{2002, 1, 3, 0, 0, 0})},
      {"visto", Variant(DateTime{2002, 1, 3, 10, 20, 30}), Variant::Null},
      {"zona", Variant(DateTime{2002, 1, 3, 10, 20, 30}), Variant::Null},
      {"saldo", Variant(*Decimal::Parse("10.5")), Variant(Decimal(int64_t{-4}))},
      {"peso", Variant(1.5f), Variant::Null},
      {"ratio", Variant(0.25), Variant::Null},
      {"n", Variant(int32_t{1}), Variant(int32_t{-7})},
      {"chico", Variant(int32_t{2}), Variant::Null},
      {"grande", Variant(Decimal(int64_t{3000000000})), Variant(int32_t{7})},
      {"activo", Variant(true), Variant(false)},
      {"nota", Variant("C:\\temp"), Variant("100%")},
  };
  for (const Case& k : cases) EXPECT_EQ(c->Fields().Item(k.field), k.first) << k.field;
  c->MoveNext();
  for (const Case& k : cases) EXPECT_EQ(c->Fields().Item(k.field), k.second) << k.field;
  c->MoveNext();
  EXPECT_TRUE(c->Fields().Item("nombre").IsNull());
  EXPECT_EQ(c->Fields().Count(), 13);
  try {
    c->Fields().Item("direccion");
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), 3265);
  }
  c->MoveNext();
  c->MoveNext();
  EXPECT_TRUE(c->AtEnd());
  EXPECT_THROW(c->MoveNext(), Error);
  c->Close();
  EXPECT_FALSE(c->IsOpen());
  EXPECT_THROW(c->AtEnd(), Error);
  // A quoted name keeps its letters' case on the server and is still found
  // in any case; values that fit no Date come back as text.
  auto q = Open("select 1 as \"MiXto\", 'infinity'::date as inf, 'x'::text as \"\"\"odd\"\"\"");
  EXPECT_EQ(q->Fields().Item("mixto"), Variant(int32_t{1}));
  EXPECT_EQ(q->Fields().Item("INF"), Variant("infinity"));
  EXPECT_EQ(q->Fields().Item("\"ODD\""), Variant("x"));
}

// int8 beyond 32 bits and numeric come exactly: as a Decimal where one
// holds them (28 significant digits, 28 decimals), otherwise as the server's
// text, NaN and Infinity included.
TEST_F(PgTest, NumbersKeepEveryDigit) {
  auto c = Open(
      "select 2147483647::int8 as a, -2147483648::int8 as b, 2147483648::int8 as c, 9007199254740993::int8 as d,"
      " 9223372036854775807::int8 as e, (-9223372036854775807 - 1)::int8 as f,"
      " 12345678901234567.89::numeric(30,2) as g, 1.5::numeric(40,20) as h, -0.000::numeric as i,"
      " 1234567890123456789012345678::numeric as j, 0.0000000000000000000000000001::numeric as k,"
      " 12345678901234567890123456789::numeric as l, 0.00000000000000000000000000001::numeric as m,"
      " 'NaN'::numeric as n, 'Infinity'::numeric as o, 123.456::float8 as p");
  auto decimal = [](const char* text) { return Variant(*Decimal::Parse(text)); };
  const std::pair<const char*, Variant> expected[] = {
      {"a", Variant(int32_t{2147483647})},
      {"b", Variant(int32_t{-2147483647 - 1})},
      {"c", decimal("2147483648")},
      {"d", decimal("9007199254740993")},
      {"e", decimal("9223372036854775807")},
      {"f", decimal("-9223372036854775808")},
      {"g", decimal("12345678901234567.89")},
      {"h", decimal("1.5")},
      {"i", decimal("0")},
      {"j", decimal("1234567890123456789012345678")},
      {"k", decimal("0.0000000000000000000000000001")},
      {"l", Variant("12345678901234567890123456789")},
      {"m", Variant("0.00000000000000000000000000001")},
      {"n", Variant("NaN")},
      {"o", Variant("Infinity")},
      {"p", Variant(123.456)},
  };
  for (const auto& [name, value] : expected) EXPECT_EQ(c->Fields().Item(name), value) << name;
  EXPECT_EQ(c->Fields().Item("g").ToString(), "12345678901234567.89");
}

TEST_F(PgTest, DateLiteralsAndTypedFiltersMatchAsOnSqlite) {
  struct Case {
    const char* where;
    std::vector<std::string> codes;
  } cases[] = {
      {"alta = #12/25/2001#", {"A1"}},
      {"alta = '12/25/2001'", {"A1"}},  // a plain literal: read month first
      {"alta < #1/1/02#", {"A1", "D4"}},
      {"alta between #2001-12-25# and '01/03/2002'", {"A1", "B2"}},
      {"visto >= #1/3/2002#", {"A1"}},
      {"nombre = '#12/25/2001#'", {}},
      {"nombre like 'Ana%'", {"A1"}},  // a developer's LIKE is left as written
      {"nombre like 'ANA%'", {}},
  };
  for (const Case& k : cases)
    EXPECT_EQ(Rows(*Open(std::string("select codigo from clientes where ") + k.where + " order by codigo"), "codigo"),
              k.codes)
        << k.where;
  // A control's filters: the typed value bound, letter case ignored, no
  // escape character (as on SQLite), a date compared as a day.
  struct Typed {
    const char* field;
    const char* op;
    const char* value;
    std::vector<std::string> codes;
  } typed[] = {
      {"nombre", "like", "ANA GARCÍA%", {"A1"}},
      {"nombre", "like", "ana garcía", {"A1"}},
      {"nombre", "like", "ANA GARCIA%", {}},
      {"nombre", "like", "íÑIGO", {"B2"}},
      {"nota", "like", "C:\\%", {"A1"}},
      {"nota", "like", "garcía", {}},
      {"n", "like", "-7", {"B2"}},  // a column of another type: its text
      {"alta", "", "12/25/2001", {"A1"}},
      {"alta", "<", "1/1/02", {"A1", "D4"}},
      {"visto", ">", "1/3/2002", {"A1"}},
  };
  for (const Typed& k : typed) {
    ClauseBuilder sql("select codigo from clientes");
    sql.And(k.field);
    if (std::string(k.op) == "like")
      sql.Like(k.value);
    else
      sql.CompareDate(k.op, "#", k.value, ClauseBuilder::DayMonth::kAsTyped);
    bool flag = false;
    EXPECT_EQ(Rows(*db->OpenCursor(sql.Finish("codigo"), flag), "codigo"), k.codes) << k.field << " " << k.value;
  }
  EXPECT_EQ(Rows(*Open("select nombre from clientes where nombre is not null order by nombre collate es"), "nombre"),
            (std::vector<std::string>{"Ana García", "Íñigo", "Zoe"}));
  EXPECT_THROW(Open("select * from clientes where alta = #2/30/2021#"), Error);
  EXPECT_NE(db->LastErrorText().find("#2/30/2021#"), std::string::npos);
}

// The index the README tells a DBA to make serves a control's prefix
// search: the server's own statistics count a scan of it.
TEST_F(PgTest, APrefixSearchUsesTheIndexTheReadmeGives) {
  ExecuteScript(Address(servers.primary),
                "create table muchos as select 'M' || lpad(g::text, 7, '0') as codigo from generate_series(1, 200000) g;"
                "create index muchos_codigo on muchos ((lower(codigo collate \"und-x-icu\")) collate \"C\");"
                "analyze muchos");
  auto scans = [&] {
    return std::stoll(Value("select coalesce(sum(idx_scan), 0) as v from pg_stat_user_indexes where indexrelname = "
                            "'muchos_codigo' and schemaname = '" + schema + "'",
                            *db));
  };
  const long long before = scans();
  ClauseBuilder sql("select codigo from muchos");
  sql.And("codigo");
  sql.Like("m012345%");
  bool flag = false;
  EXPECT_EQ(Rows(*db->OpenCursor(sql.Finish("codigo"), flag), "codigo"),
            (std::vector<std::string>{"M0123450", "M0123451", "M0123452", "M0123453", "M0123454", "M0123455",
                                      "M0123456", "M0123457", "M0123458", "M0123459"}));
  // A session sends its statistics within a second or so of going idle.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (scans() == before && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_GT(scans(), before);
}

TEST_F(PgTest, RefusesWritesSecondStatementsAndNonQueriesBeforeAnythingRuns) {
  struct Case {
    const char* sql;
    const char* cause;
  } cases[] = {
      {"delete from clientes", "empieza por DELETE"},
      {"update clientes set codigo = 'X'", "empieza por UPDATE"},
      {"insert into clientes (codigo) values ('Z')", "empieza por INSERT"},
      {"drop table clientes", "empieza por DROP"},
      {"create table otra (a int)", "empieza por CREATE"},
      {"set search_path = public", "empieza por SET"},
      {"do $$ begin delete from clientes; end $$", "empieza por DO"},
      {"explain analyze delete from clientes", "empieza por EXPLAIN"},
      {"commit", "empieza por COMMIT"},
      {"select 1; delete from clientes", "una sentencia"},
      {"select 1 as v; select nextval('sec')", "una sentencia"},
      {"  -- nothing\n", "vacía"},
      {"with d as (delete from clientes returning *) select * from d", "data-modifying"},
      {"select nextval('sec')", "read-only transaction"},
      {"select * from clientes for update", "read-only transaction"},
      {"SELEC * FROM clientes", "empieza por SELEC"},
      {"select codigo from clientes where", "syntax error"},
      {"select * from nowhere", "does not exist"},
  };
  for (const Case& k : cases) {
    try {
      Open(k.sql);
      ADD_FAILURE() << k.sql;
    } catch (const Error& e) {
      EXPECT_NE(e.description().find(k.cause), std::string::npos) << k.sql << ": " << e.description();
      EXPECT_NE(db->LastErrorText().find(k.cause), std::string::npos) << k.sql << ": " << db->LastErrorText();
    }
  }
  EXPECT_EQ(CountRows("select codigo from clientes"), 4);
  EXPECT_EQ(Value("select last_value::text || is_called::text as v from sec", *db), "1false");
  EXPECT_EQ(CountRows("table clientes"), 4);
  EXPECT_EQ(Rows(*Open("(values (5))"), "column1"), std::vector<std::string>{"5"});
}

// Two controls on one connection: statements that fail in between, at once or
// on a later batch, leave the first cursor paging as before.
TEST_F(PgTest, AFailingStatementLeavesAnotherCursorPaging) {
  auto first = Open("select g as v from generate_series(1, 1000) g");
  std::vector<std::string> seen = Rows(*first, "v", 60);
  EXPECT_THROW(Open("select 1/(g-5) as v from generate_series(1, 10) g"), Error);
  EXPECT_NE(db->LastErrorText().find("division by zero"), std::string::npos);
  EXPECT_THROW(Open("select nothing from nowhere"), Error);
  auto late = Open("select 1/(g-100) as v from generate_series(1, 200) g");
  EXPECT_THROW(Rows(*late, "v"), Error);
  EXPECT_THROW(late->AtEnd(), Error);  // it says so again, never looks like the end
  auto second = Open("select g * 2 as v from generate_series(1, 100) g");
  for (auto& v : Rows(*first, "v", 500)) seen.push_back(v);
  EXPECT_EQ(Rows(*second, "v").size(), 100u);
  for (auto& v : Rows(*first, "v")) seen.push_back(v);
  ASSERT_EQ(seen.size(), 1000u);
  for (size_t i = 0; i < seen.size(); ++i) ASSERT_EQ(seen[i], std::to_string(i + 1));
  late->Close();
  first->Close();
  second->Close();
}

// The read-only transaction lives while a cursor with rows left is open, as
// another session sees it, and ends with the last one.
TEST_F(PgTest, TheTransactionEndsWithTheLastOpenCursor) {
  PgConnection watcher(servers.primary);
  auto a = Open("select pg_backend_pid() as pid, g from generate_series(1, 100) g");
  std::string pid = a->Fields().Item("pid").ToString();
  auto state = [&] {
    return Value("select state || ' ' || (select count(*) from pg_locks l where l.pid = a.pid and l.granted) as v "
                 "from pg_stat_activity a where pid = " + pid, watcher);
  };
  auto b = Open("select g from generate_series(1, 100) g");
  EXPECT_EQ(state().substr(0, 19), "idle in transaction");
  a->Close();
  EXPECT_EQ(state().substr(0, 19), "idle in transaction");
  b->Close();
  EXPECT_EQ(state(), "idle 0");
  // A result that fits its first batch holds nothing while the caller keeps it.
  auto shorter = Open("select g from generate_series(1, 51) g");
  EXPECT_EQ(state(), "idle 0");
  EXPECT_EQ(Rows(*shorter, "g").size(), 51u);
  // A cursor dropped without Close ends its transaction too.
  Open("select g from generate_series(1, 100) g");
  EXPECT_EQ(state(), "idle 0");
}

TEST_F(PgTest, ALostServerGivesAMessageAndTheReadAfterItReconnects) {
  auto c = Open("select g from generate_series(1, 200) g");
  EXPECT_EQ(Rows(*c, "g", 51).size(), 51u);
  servers.Run("down", "primary");
  servers.Run("up", "primary");
  try {
    Rows(*c, "g");
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_NE(e.description().find("Se perdió la conexión con el servidor de la base de datos"), std::string::npos)
        << e.description();
  }
  c->Close();
  EXPECT_EQ(CountRows("select codigo from clientes"), 4);
  // A server that is down when the read starts: a message, never a hang.
  servers.Run("down", "primary");
  EXPECT_THROW(CountRows("select codigo from clientes"), Error);
  EXPECT_NE(db->LastErrorText().find("No such file"), std::string::npos) << db->LastErrorText();
  servers.Run("up", "primary");
  EXPECT_EQ(CountRows("select codigo from clientes"), 4);
}

TEST_F(PgTest, SeveralHostsReadFromTheStandby) {
  PgConnection primary(servers.primary);
  // The insert position: the test servers commit asynchronously, so the
  // write position may not yet hold the commit of the table made in SetUp.
  std::string lsn = Value("select pg_current_wal_insert_lsn()::text as v", primary);
  PgConnection standby(servers.standby);
  for (int i = 0; i < 300 && Value("select (pg_last_wal_replay_lsn() >= '" + lsn + "')::text as v", standby) != "true"; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  struct Case {
    const char* attrs;
    const char* in_recovery;
  } cases[] = {{"prefer-standby", "true"}, {"standby", "true"}, {"primary", "false"}, {"any", "false"}};
  for (const Case& k : cases) {
    auto on = OpenConnection(Address(servers.hosts) + " target_session_attrs=" + k.attrs);
    EXPECT_EQ(Value("select pg_is_in_recovery()::text as v", *on), k.in_recovery) << k.attrs;
    EXPECT_EQ(Rows(*Open("select codigo from clientes where nombre like 'Ana%'", on.get()), "codigo"),
              std::vector<std::string>{"A1"})
        << k.attrs;
  }
}

TEST(PgAddressTest, AddressesChooseTheirBackendAndNeverShowPasswords) {
  struct Case {
    const char* address;
    const char* backend;
    const char* masked;
  } cases[] = {
      {"host=h password=secret dbname=d", "postgresql", "host=h password=**** dbname=d"},
      {"  host = h  password = 'se cr\\'et' dbname=d", "postgresql", "  host = h  password = **** dbname=d"},
      {"postgresql://ana:secret@db:5432/ventas?sslmode=require&password=secret", "postgresql",
       "postgresql://ana:****@db:5432/ventas?sslmode=require&password=****"},
      {"postgres://ana@db1,db2/ventas?target_session_attrs=prefer-standby", "postgresql",
       "postgres://ana@db1,db2/ventas?target_session_attrs=prefer-standby"},
      {"postgresql://ana:secret@db", "postgresql", "postgresql://ana:****@db"},
      {"host=h password='secret", "postgresql", "(dirección no mostrada: contiene una contraseña)"},
      {"sqlite:/data/clientes.db", "sqlite", "sqlite:/data/clientes.db"},
      {":memory:", "sqlite", ":memory:"},
      {"/data/clientes.db", "sqlite", "/data/clientes.db"},
      {"C:\\datos\\clientes.db", "sqlite", "C:\\datos\\clientes.db"},
      {"sqlite:a=b.db", "sqlite", "sqlite:a=b.db"},
  };
  for (const Case& k : cases) {
    EXPECT_EQ(BackendName(k.address), k.backend) << k.address;
    EXPECT_EQ(PgAddress::Masked(k.address), k.masked) << k.address;
  }
  for (const char* bad : {"mysql://ana:secret@db/ventas", "", "  "}) {
    try {
      OpenConnection(bad);
      ADD_FAILURE() << bad;
    } catch (const Error& e) {
      EXPECT_EQ(e.description().find("secret"), std::string::npos) << e.description();
    }
  }
  struct Refusal {
    const char* address;
    const char* message;
  } refusals[] = {
      {"mysql://ana:secret@db/ventas", "Ningún conector sirve esta dirección"},
      {"  ", "No se indicó la dirección"},
      {"host=/nonexistent password=secret dbname=d", "No se pudo conectar con el servidor de la base de datos: "},
      {"postgresql://ana:secret@%2Fnonexistent/d", "No se pudo conectar con el servidor de la base de datos: "},
      {"postgresql://ana:sec%zzret@/d", "La dirección de la base de datos no es válida: "},
      {"host=/nonexistent password=secret dbname=d x", "La dirección de la base de datos no es válida: no se puede leer"},
  };
  for (const Refusal& k : refusals) {
    try {
      // A server that is not there is found at the first read.
      std::string sql = "select 1";
      bool flag = false;
      OpenConnection(k.address)->OpenCursor(sql, flag);
      ADD_FAILURE() << k.address;
    } catch (const Error& e) {
      EXPECT_NE(e.description().find(k.message), std::string::npos) << e.description();
      for (const char* secret : {"secret", "sec%zz"})
        EXPECT_EQ(e.description().find(secret), std::string::npos) << e.description();
      EXPECT_EQ(e.description().find("nonexistent"), std::string::npos) << e.description();
    }
  }
}

// A program started while its server was down reads once the server is
// back: the connection is made at the first read that finds the server.
TEST_F(PgTest, AConnectionOpenedWhileTheServerIsDownReadsOnceItIsBack) {
  std::shared_ptr<DataConnection> early;
  {
    struct Up {
      const PgServers& servers;
      ~Up() { servers.Run("up", "primary"); }
    } up{servers};
    servers.Run("down", "primary");
    early = OpenConnection(Address(servers.primary));
    EXPECT_THROW(Value("select 'x' as v", *early), Error);
  }
  EXPECT_EQ(Value("select 'back' as v", *early), "back");
  // The standby streams again before the next test reads from it.
  for (int i = 0; i < 100 && Value("select count(*)::text as v from pg_stat_replication", *early) == "0"; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

TEST_F(PgTest, OpenConnectionAndExecuteScriptServeEveryBackend) {
  auto sqlite = OpenConnection(":memory:");
  EXPECT_EQ(Value("select 'memoria' as v", *sqlite), "memoria");
  // A script runs whole or not at all.
  ExecuteScript(Address(servers.primary), "insert into clientes (codigo) values ('E5'); insert into clientes values ('F6')");
  EXPECT_THROW(ExecuteScript(Address(servers.primary), "insert into clientes values ('G7'); insert into nowhere values (1)"),
               Error);
  EXPECT_EQ(CountRows("select codigo from clientes"), 6);
  auto path = std::filesystem::temp_directory_path() / ("trovel_" + schema + ".db");
  std::filesystem::remove(path);
  ExecuteScript("sqlite:" + path.string(), "create table t (v text); insert into t values ('fichero')");
  EXPECT_EQ(Value("select v from t", *OpenConnection(path.string())), "fichero");
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace trovel
