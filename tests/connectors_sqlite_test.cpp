#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>

#include "connectors/IsoDateText.h"
#include "connectors/SqlText.h"
#include "connectors/SqliteConnection.h"
#include "contracts/ForwardingConnection.h"
#include "contracts/ForwardingCursor.h"
#include "platform/Error.h"

namespace trovel {
namespace {

std::string ForSqlite(const std::string& sql) { return SqlText::Read(sql, SqlText::Dialect::kSqlite).text; }
std::string ForPostgres(const std::string& sql) { return SqlText::Read(sql, SqlText::Dialect::kPostgres).text; }

class SqliteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db.Execute(
        "create table clientes (codigo text, nombre text, alta date, saldo real, n integer);"
        "insert into clientes values ('A1', 'Ana', '2001-12-25', 10.5, 1);"
        "insert into clientes values ('B2', 'Íñigo', '2002-01-03 10:20:30', null, 3000000000);"
        "insert into clientes values ('C3', null, null, 2, -4);");
  }

  std::shared_ptr<DataCursor> Open(std::string sql) {
    bool flag = true;
    return db.OpenCursor(sql, flag);
  }

  int CountRows(std::string sql) {
    auto c = Open(std::move(sql));
    int n = 0;
    for (; !c->AtEnd(); c->MoveNext()) ++n;
    return n;
  }

  SqliteConnection db{":memory:"};
};

TEST_F(SqliteTest, StreamsRowsWithTheirTypes) {
  auto c = Open("select * from clientes order by codigo");
  ASSERT_TRUE(c->IsOpen());
  ASSERT_FALSE(c->AtEnd());
  EXPECT_EQ(c->Fields().Item("CODIGO"), Variant("A1"));
  EXPECT_EQ(c->Fields().Item("Saldo"), Variant(10.5));
  EXPECT_EQ(c->Fields().Item("n"), Variant(int32_t{1}));
  EXPECT_EQ(c->Fields().Item("alta"), Variant(DateTime{2001, 12, 25, 0, 0, 0}));
  c->MoveNext();
  EXPECT_EQ(c->Fields().Item("nombre"), Variant("Íñigo"));
  EXPECT_TRUE(c->Fields().Item("saldo").IsNull());
  EXPECT_EQ(c->Fields().Item("n"), Variant(Decimal(int64_t{3000000000})));
  EXPECT_EQ(c->Fields().Item("alta"), Variant(DateTime{2002, 1, 3, 10, 20, 30}));
  c->MoveNext();
  EXPECT_TRUE(c->Fields().Item("nombre").IsNull());
  EXPECT_TRUE(c->Fields().Item("alta").IsNull());
  c->MoveNext();
  EXPECT_TRUE(c->AtEnd());
  EXPECT_THROW(c->MoveNext(), Error);
  c->Close();
  EXPECT_FALSE(c->IsOpen());
  EXPECT_THROW(c->AtEnd(), Error);
}

// Integers within 32 bits come as a Long, beyond them as an exact Decimal;
// a Double would turn 2^53 + 1 into 2^53.
TEST_F(SqliteTest, WholeNumbersKeepEveryDigit) {
  auto c = Open(
      "select 2147483647 as a, -2147483648 as b, 2147483648 as c, -2147483649 as d, 9007199254740993 as e,"
      " 9223372036854775807 as f, -9223372036854775808 as g");
  const std::pair<const char*, Variant> expected[] = {
      {"a", Variant(int32_t{2147483647})},
      {"b", Variant(int32_t{-2147483647 - 1})},
      {"c", Variant(Decimal(int64_t{2147483648}))},
      {"d", Variant(Decimal(int64_t{-2147483649}))},
      {"e", Variant(Decimal(int64_t{9007199254740993}))},
      {"f", Variant(Decimal(std::numeric_limits<int64_t>::max()))},
      {"g", Variant(Decimal(std::numeric_limits<int64_t>::min()))},
  };
  for (const auto& [name, value] : expected) EXPECT_EQ(c->Fields().Item(name), value) << name;
  EXPECT_EQ(c->Fields().Item("e").ToString(), "9007199254740993");
  EXPECT_EQ(c->Fields().Item("g").ToString(), "-9223372036854775808");
}

TEST_F(SqliteTest, UnknownFieldIsAClearError) {
  auto c = Open("select codigo from clientes");
  try {
    c->Fields().Item("direccion");
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), 3265);
    EXPECT_NE(e.description().find("direccion"), std::string::npos);
  }
}

TEST_F(SqliteTest, DateLiteralsCompareWithStoredDates) {
  EXPECT_EQ(CountRows("select * from clientes where alta = #12/25/2001#"), 1);
  EXPECT_EQ(CountRows("select * from clientes where alta < #1/1/02#"), 1);
  // Inside quotes the literal is text and stays as written.
  EXPECT_EQ(ForSqlite("x = '#12/25/2001#' and y = #12/25/2001#"),
            "x = '#12/25/2001#' and y = '2001-12-25'");
  EXPECT_EQ(ForSqlite("a = 'it''s #1/2/2003#'"), "a = 'it''s #1/2/2003#'");
  EXPECT_EQ(CountRows("select * from clientes where nombre = '#12/25/2001#'"), 0);
  EXPECT_THROW(Open("select * from clientes where alta = #2/30/2001#"), Error);
  EXPECT_NE(db.LastErrorText().find("#2/30/2001#"), std::string::npos);
}

// Both backends' forms of one statement: dates rewritten outside literals,
// names and comments, and only there.
TEST(SqlTextTest, RewritesOnlyOutsideLiteralsNamesAndComments) {
  struct Case {
    const char* in;
    const char* sqlite;
    const char* postgres;
  } cases[] = {
      {"a = #12/25/2001#", "a = '2001-12-25'", "a = DATE '2001-12-25'"},
      {"a<#1/2/03# or a>#1/1/30# or a=#1/1/29#", "a<'2003-01-02' or a>'1930-01-01' or a='2029-01-01'",
       "a<DATE '2003-01-02' or a>DATE '1930-01-01' or a=DATE '2029-01-01'"},
      {"a = #2001-12-25# or a = #2/29/2024#", "a = '2001-12-25' or a = '2024-02-29'",
       "a = DATE '2001-12-25' or a = DATE '2024-02-29'"},
      {"x = 'it''s #1/2/2003#'", "x = 'it''s #1/2/2003#'", "x = 'it''s #1/2/2003#'"},
      {"\"#1/2/2003#\" = [#1/2/2003#] or `a``#1/2/2003#`", "\"#1/2/2003#\" = [#1/2/2003#] or `a``#1/2/2003#`",
       "\"#1/2/2003#\" = [#1/2/2003#] or `a``#1/2/2003#`"},
      {"-- #1/2/2003#\n/* #1/2/2003# */ #1/2/2003#", "-- #1/2/2003#\n/* #1/2/2003# */ '2003-01-02'",
       "-- #1/2/2003#\n/* #1/2/2003# */ DATE '2003-01-02'"},
      // PostgreSQL's comments nest, SQLite's end at the first "*/".
      {"/* a /* #1/2/2003# */ #1/2/2003# */", "/* a /* #1/2/2003# */ '2003-01-02' */",
       "/* a /* #1/2/2003# */ #1/2/2003# */"},
      // E'...' and $$...$$ are literals on PostgreSQL only; $1 is a parameter.
      {"E'it\\'s #1/2/2003#' = #1/2/2003#", "E'it\\'s '2003-01-02'' = #1/2/2003#",
       "E'it\\'s #1/2/2003#' = DATE '2003-01-02'"},
      {"$q$ #1/2/2003# $q$ = $1 and x$#1/2/2003#", "$q$ '2003-01-02' $q$ = $1 and x$'2003-01-02'",
       "$q$ #1/2/2003# $q$ = $1 and x$ DATE '2003-01-02'"},
      {"a # 5 or b #> '{x}' or #a/b# or #1#", "a # 5 or b #> '{x}' or #a/b# or #1#",
       "a # 5 or b #> '{x}' or #a/b# or #1#"},
      // LIKE is left as the developer wrote it.
      {"n LIKE 'A%' and m like 'b\\%' ESCAPE '\\'", "n LIKE 'A%' and m like 'b\\%' ESCAPE '\\'",
       "n LIKE 'A%' and m like 'b\\%' ESCAPE '\\'"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ForSqlite(c.in), c.sqlite) << c.in;
    EXPECT_EQ(ForPostgres(c.in), c.postgres) << c.in;
  }
  // The quoted names of the first statement, where they stand in the text.
  const SqlText t = SqlText::Read("SELECT \"A\"\"B\", 'x\"y' FROM \"T\" -- \"c\"\n; select \"D\"",
                                  SqlText::Dialect::kPostgres);
  ASSERT_EQ(t.quoted_names.size(), 2u);
  EXPECT_EQ(t.text.substr(t.quoted_names[0].offset, t.quoted_names[0].length), "\"A\"\"B\"");
  EXPECT_EQ(t.text.substr(t.quoted_names[1].offset, t.quoted_names[1].length), "\"T\"");
}

TEST(SqlTextTest, RefusesDatesThatCannotExist) {
  for (const char* date : {"#13/45/2020#", "#2/30/2021#", "#2/29/2021#", "#0/1/2001#", "#4/31/2001#", "#12/25/#",
                           "#12/25#", "#1/2/3/4#", "#2001-13-01#", "#1/1/0000#", "#1-/2/2001#"}) {
    for (auto dialect : {SqlText::Dialect::kSqlite, SqlText::Dialect::kPostgres}) {
      try {
        SqlText::Read(std::string("select 1 where a = ") + date, dialect);
        ADD_FAILURE() << date;
      } catch (const Error& e) {
        EXPECT_NE(e.description().find(date), std::string::npos) << e.description();
      }
    }
  }
}

TEST(SqlTextTest, FindsTheFirstWordAndASecondStatement) {
  struct Case {
    const char* in;
    const char* first_word;
    const char* first_statement;
    const char* rest;
  } cases[] = {
      {"  ((select 1))", "SELECT", "  ((select 1))", ""},
      {"/* c */ with x as (select ';') select * from x; -- done\n;", "WITH",
       "/* c */ with x as (select ';') select * from x", ""},
      {"select 1; delete from t", "SELECT", "select 1", "delete from t"},
      {"select 1;; /* x */ ;update t set a = 1;", "SELECT", "select 1", "update t set a = 1;"},
      {"Delete from t", "DELETE", "Delete from t", ""},
      {"-- nothing\n", "", "-- nothing\n", ""},
      {";", "", "", ""},
      {"1 + 1", "1", "1 + 1", ""},
  };
  for (const Case& c : cases) {
    SqlText t = SqlText::Read(c.in, SqlText::Dialect::kPostgres);
    EXPECT_EQ(t.first_word, c.first_word) << c.in;
    EXPECT_EQ(t.first_statement(), c.first_statement) << c.in;
    EXPECT_EQ(t.rest, c.rest) << c.in;
  }
}

TEST(IsoDateTextTest, ReadsTheDatesDatabasesGiveAsText) {
  struct Case {
    const char* text;
    bool ok;
    DateTime date;
  } cases[] = {
      {"2001-12-25", true, {2001, 12, 25, 0, 0, 0}},
      {"2002-01-03T10:20:30", true, {2002, 1, 3, 10, 20, 30}},
      {"2002-01-03 10:20:30.25+01:30", true, {2002, 1, 3, 10, 20, 30}},
      {"2002-01-03 23:59:59Z", true, {2002, 1, 3, 23, 59, 59}},
      {"2001-13-01", false, {}},
      {"2001-12-25 24:00:00", false, {}},
      {"2001-12-25 10:20", false, {}},
      {"2001-12-25x", false, {}},
      {"0044-03-15 BC", false, {}},
      {"infinity", false, {}},
      {"12/25/2001", false, {}},
  };
  for (const Case& c : cases) {
    DateTime d;
    EXPECT_EQ(IsoDateText::Parse(c.text, std::strlen(c.text), d), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(d, c.date) << c.text;
    }
  }
}

// Many "#" that open no date, and many that do, in one long statement.
TEST(SqlTextTest, ReadsALongStatementWithManyHashes) {
  std::string in = "select 1 where 1=1", sqlite = in, postgres = in;
  for (int i = 0; i < 20000; ++i) {
    in += " or a = #1/2/2003# or b = '#' or c # 1";
    sqlite += " or a = '2003-01-02' or b = '#' or c # 1";
    postgres += " or a = DATE '2003-01-02' or b = '#' or c # 1";
  }
  EXPECT_EQ(ForSqlite(in), sqlite);
  EXPECT_EQ(ForPostgres(in), postgres);
}

TEST_F(SqliteTest, RefusesWritesAndSecondStatementsBeforeRunning) {
  for (const char* sql : {"delete from clientes", "update clientes set codigo = 'X'",
                          "insert into clientes (codigo) values ('Z')", "create table t (a)",
                          "select 1; delete from clientes", "drop table clientes"}) {
    EXPECT_THROW(Open(sql), Error) << sql;
    EXPECT_FALSE(db.LastErrorText().empty());
  }
  EXPECT_EQ(CountRows("select * from clientes;  "), 3);
  EXPECT_EQ(CountRows("select * from clientes; -- all of them\n"), 3);
}

TEST_F(SqliteTest, SyntaxErrorCarriesSqliteMessage) {
  try {
    Open("SELEC * FROM clientes");
    FAIL();
  } catch (const Error& e) {
    EXPECT_NE(e.description().find("syntax error"), std::string::npos);
    EXPECT_EQ(db.LastErrorText(), e.description());
  }
  EXPECT_THROW(Open("select * from nowhere"), Error);
  EXPECT_NE(db.LastErrorText().find("no such table"), std::string::npos);
}

// A recording wrapper sees the calls in the order a control makes them.
TEST_F(SqliteTest, WrappersForwardToTheRealConnection) {
  std::vector<std::string> calls;
  struct Cursor : ForwardingCursor {
    Cursor(std::shared_ptr<DataCursor> c, std::vector<std::string>& log) : ForwardingCursor(std::move(c)), log(log) {}
    std::string Close() override { log.push_back("Close"); return ForwardingCursor::Close(); }
    std::vector<std::string>& log;
  };
  struct Connection : ForwardingConnection {
    Connection(std::shared_ptr<DataConnection> c, std::vector<std::string>& log) : ForwardingConnection(std::move(c)), log(log) {}
    std::shared_ptr<DataCursor> OpenCursor(std::string& sql, bool& flag) override {
      log.push_back("Open");
      return std::make_shared<Cursor>(ForwardingConnection::OpenCursor(sql, flag), log);
    }
    std::vector<std::string>& log;
  };
  auto real = std::make_shared<SqliteConnection>(":memory:");
  real->Execute("create table t (a); insert into t values (1);");
  Connection wrapped(real, calls);
  std::string sql = "select a from t";
  bool flag = false;
  auto c = wrapped.OpenCursor(sql, flag);
  EXPECT_EQ(c->Fields().Item("a"), Variant(int32_t{1}));
  c->Close();
  EXPECT_FALSE(c->IsOpen());
  EXPECT_EQ(calls, (std::vector<std::string>{"Open", "Close"}));
}

TEST(SqliteFileTest, CursorOutlivesConnectionAndFileReopens) {
  auto path = std::filesystem::temp_directory_path() / "trovel_sqlite_test.db";
  std::filesystem::remove(path);
  std::shared_ptr<DataCursor> cursor;
  {
    SqliteConnection db(path.string());
    db.Execute("create table t (a integer); insert into t values (7), (8);");
    std::string sql = "select a from t order by a";
    bool flag = false;
    cursor = db.OpenCursor(sql, flag);
  }
  EXPECT_EQ(cursor->Fields().Item("A"), Variant(int32_t{7}));
  cursor->Close();
  SqliteConnection again(path.string());
  std::string sql = "select count(*) as n from t";
  bool flag = false;
  EXPECT_EQ(again.OpenCursor(sql, flag)->Fields().Item("n"), Variant(int32_t{2}));
  std::filesystem::remove(path);
  EXPECT_THROW(SqliteConnection("/nonexistent-dir/x/y.db"), Error);
}

}  // namespace
}  // namespace trovel
