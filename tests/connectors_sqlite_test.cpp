#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "connectors/SqliteConnection.h"
#include "contracts/ForwardingConnection.h"
#include "contracts/ForwardingCursor.h"
#include "platform/Error.h"

namespace trovel {
namespace {

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
  EXPECT_EQ(c->Fields().Item("n"), Variant(3000000000.0));
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
  EXPECT_EQ(SqliteConnection::TranslateDateLiterals("x = '#12/25/2001#' and y = #12/25/2001#"),
            "x = '#12/25/2001#' and y = '2001-12-25'");
  EXPECT_EQ(SqliteConnection::TranslateDateLiterals("a = 'it''s #1/2/2003#'"), "a = 'it''s #1/2/2003#'");
  EXPECT_EQ(CountRows("select * from clientes where nombre = '#12/25/2001#'"), 0);
}

TEST_F(SqliteTest, RefusesWritesAndSecondStatementsBeforeRunning) {
  for (const char* sql : {"delete from clientes", "update clientes set codigo = 'X'",
                          "insert into clientes (codigo) values ('Z')", "create table t (a)",
                          "select 1; delete from clientes", "drop table clientes"}) {
    EXPECT_THROW(Open(sql), Error) << sql;
    EXPECT_FALSE(db.LastErrorText().empty());
  }
  EXPECT_EQ(CountRows("select * from clientes;  "), 3);
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
