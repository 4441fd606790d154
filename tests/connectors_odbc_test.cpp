// The ODBC connector beyond the contract suites: what an odbc: address
// says and hides, the values of each SQL type as they come from MariaDB
// through odbc-mariadb, reads in windows on MariaDB, and the demo's sample
// tables made through ODBC.
// The server runs come from the fixture odbc_servers_start, and fail when
// it is missing.
#include <gtest/gtest.h>

#include "apps/cli/SampleDatabase.h"
#include "connectors/OdbcAddress.h"
#include "connectors/OdbcConnection.h"
#include "connectors/OdbcWindow.h"
#include "connectors/OpenConnection.h"
#include "platform/Error.h"
#include "tests/OdbcServers.h"

namespace trovel {
namespace {

TEST(OdbcAddressTest, ReadsMasksAndDropsPasswords) {
  EXPECT_EQ(OdbcAddress::ConnectionString("odbc:ventas"), "DSN=ventas");
  EXPECT_EQ(OdbcAddress::ConnectionString("ODBC:DSN=ventas;UID=lectura"), "DSN=ventas;UID=lectura");
  EXPECT_EQ(BackendName("odbc:DSN=ventas"), "odbc");
  const std::string address = "odbc:DRIVER={MariaDB Unicode};SERVER=db1;UID=lectura;PWD={s;e}}c=r};DATABASE=ventas";
  EXPECT_EQ(ShownAddress(address), "odbc:DRIVER={MariaDB Unicode};SERVER=db1;UID=lectura;PWD=****;DATABASE=ventas");
  EXPECT_EQ(SavableAddress(address), "odbc:DRIVER={MariaDB Unicode};SERVER=db1;UID=lectura;DATABASE=ventas");
  EXPECT_EQ(OdbcAddress::Value(address, "pwd"), "s;e}c=r");
  EXPECT_EQ(DatabaseTitle(address), "ODBC ventas");
  EXPECT_EQ(DatabaseTitle("odbc:DRIVER={MDBTools};DBQ=/datos/Ventas.mdb"), "ODBC Ventas.mdb");
  // Cut or empty addresses are refused whole, never shown in part.
  EXPECT_EQ(ShownAddress("odbc:DSN=x;PWD={secreto"), "odbc:(la dirección no se puede mostrar)");
  EXPECT_THROW(OdbcAddress::ConnectionString("odbc:DSN=x;PWD={secreto"), Error);
  EXPECT_THROW(OpenConnection("odbc:  "), Error);
}

// A driver that is not there, or a server that does not answer, is no
// error until a read: the read then says why, without the password or the
// driver's path.
TEST(OdbcAddressTest, AMissingDriverFailsEachReadWithoutThePassword) {
  auto db = OpenConnection("odbc:DRIVER=/nonexistent/libnada.so;PWD=clave-secreta");
  std::string sql = "select 1";
  bool flag = false;
  try {
    db->OpenCursor(sql, flag);
    FAIL() << "the read ran";
  } catch (const Error& e) {
    EXPECT_EQ(e.description().rfind("No se pudo conectar con el servidor de la base de datos: ", 0), 0u)
        << e.description();
    for (const char* hidden : {"clave-secreta", "nonexistent", "libnada"})
      EXPECT_EQ(e.description().find(hidden), std::string::npos) << e.description();
  }
}

class OdbcMariaDbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    try {
      const std::string server = OdbcServers::Load().mariadb;
      ExecuteScript(server, "drop database if exists tipos; create database tipos character set utf8mb4");
      address = OdbcServers::In(server, "tipos");
    } catch (const std::exception& e) {
      FAIL() << e.what();
    }
  }
  std::string address;
};

TEST_F(OdbcMariaDbTest, ValuesComeByTheirSqlType) {
  ExecuteScript(address,
                "create table t (i int, u bigint unsigned, b bigint, d decimal(30,2), f float, g double, bt bit(1),"
                " fe date, ts datetime, v varchar(20), tx text, nada int);"
                "insert into t values (-7, 18446744073709551615, 9007199254740993, 12345678901234567.89, 1.5, 0.1,"
                " 1, '2001-12-25', '2021-01-02 03:04:05', 'Ñandú 😀', repeat('ab', 5000), null)");
  OdbcConnection db(address);
  EXPECT_EQ(db.ServerName(), "MariaDB");
  std::string sql = "select * from t";
  bool flag = false;
  auto cursor = db.OpenCursor(sql, flag);
  const Fields& f = cursor->Fields();
  EXPECT_EQ(f.Item("I").type(), Variant::Type::Long);
  EXPECT_EQ(f.Item("i").ToString(), "-7");
  EXPECT_EQ(f.Item("u").type(), Variant::Type::Decimal);
  EXPECT_EQ(f.Item("u").ToString(), "18446744073709551615");
  EXPECT_EQ(f.Item("b").ToString(), "9007199254740993");
  EXPECT_EQ(f.Item("d").type(), Variant::Type::Decimal);
  EXPECT_EQ(f.Item("d").ToString(), "12345678901234567.89");
  EXPECT_EQ(f.Item("f").type(), Variant::Type::Single);
  EXPECT_EQ(f.Item("g").type(), Variant::Type::Double);
  EXPECT_EQ(f.Item("bt").type(), Variant::Type::Boolean);
  const Variant fe = f.Item("fe"), ts = f.Item("ts");
  ASSERT_EQ(fe.type(), Variant::Type::Date);
  EXPECT_EQ(fe.ToDate(), (DateTime{2001, 12, 25, 0, 0, 0}));
  ASSERT_EQ(ts.type(), Variant::Type::Date);
  EXPECT_EQ(ts.ToDate(), (DateTime{2021, 1, 2, 3, 4, 5}));
  EXPECT_EQ(f.Item("v").ToString(), "Ñandú 😀");
  EXPECT_EQ(f.Item("tx").ToString().size(), 10000u);  // a long text, whole
  EXPECT_TRUE(f.Item("nada").IsNull());
  EXPECT_THROW(f.Item("otro"), Error);
}

TEST_F(OdbcMariaDbTest, TheSampleTablesInSpanishOrder) {
  cli::CreateSampleDatabase(address);
  cli::CreateSampleDatabase(address);  // replaces them
  auto db = OpenConnection(address);
  std::string sql = "select nombre from clientes where nombre like 'Í%' or nombre like 'Z%' or nombre like 'J%' order by nombre";
  bool flag = false;
  std::vector<std::string> initials;
  int rows = 0;
  for (auto c = db->OpenCursor(sql, flag); !c->AtEnd(); c->MoveNext(), ++rows) {
    const std::string name = c->Fields().Item("nombre").ToString();
    const std::string initial = name.substr(0, name[0] & 0x80 ? 2 : 1);
    if (initials.empty() || initials.back() != initial) initials.push_back(initial);
  }
  EXPECT_EQ(initials, (std::vector<std::string>{"Í", "J", "Z"}));
  EXPECT_EQ(rows, 45);
}

// A window may only cut a statement whose rows keep their order under a
// LIMIT: what orders, limits or locks at the top level rules it out, and
// the same words inside literals, names, comments and parentheses do not.
TEST(OdbcWindowTest, OnlyStatementsWithoutAnOrderOfTheirOwn) {
  for (const char* sql : {"SELECT * FROM t", "select a, (select max(b) from u order by b limit 1) from t",
                          "SELECT 'order by' AS \"limit\", `for` FROM t -- order by a\n WHERE a > 1",
                          "SELECT a FROM t # limit 5\n", "SELECT a /* order by a */ FROM t",
                          "SELECT a FROM t WHERE b IN (SELECT b FROM u FOR UPDATE)",
                          "SELECT a FROM t UNION ALL SELECT b FROM u", "SELECT 'it''s ORDER BY' FROM t"})
    EXPECT_TRUE(OdbcWindow::Fits(sql)) << sql;
  for (const char* sql : {"SELECT a FROM t ORDER BY a", "select a from t limit 5", "SELECT a FROM t\nORDER BY a -- x",
                          "SELECT a FROM t FOR UPDATE", "SELECT a INTO @x FROM t", "SELECT a FROM t LOCK IN SHARE MODE",
                          "(SELECT a FROM t ORDER BY a)", "WITH x AS (SELECT 1) SELECT * FROM x", "VALUES (1)",
                          "SELECT a--1 ORDER BY a", "SELECT a /*! ORDER BY a */ FROM t", "SELECT 'open FROM t", ""})
    EXPECT_FALSE(OdbcWindow::Fits(sql)) << sql;
  // 52 rows first, then multiples of 256 that grow with the rows read.
  EXPECT_EQ(OdbcWindow::Size(0, 52, 256), 52u);
  EXPECT_EQ(OdbcWindow::Size(52, 52, 256), 256u);
  EXPECT_EQ(OdbcWindow::Size(52 + 256 + 512, 52, 256), 768u);
  EXPECT_EQ(OdbcWindow::Size(1000000, 52, 256), 16384u);
  EXPECT_EQ(OdbcWindow::Text("SELECT a FROM t -- x", 52, 256), "(\nSELECT a FROM t -- x\n) LIMIT 52, 256");
}

// odbc-mariadb 3.1.15 stores each result whole: an unordered read runs in
// windows, so every row comes once and in order across windows of every
// size, with its bound pattern, and a row changed after the first block
// shows changed in a later window. An ordered read is run whole (the
// change made after it ran does not show).
TEST_F(OdbcMariaDbTest, UnorderedReadsRunInWindows) {
  ExecuteScript(address,
                "create table n (i int primary key, nombre varchar(20));"
                "insert into n select seq, 'uno' from seq_1_to_20000");
  auto db = OpenConnection(address);
  SearchStatement search;
  search.base = "SELECT I, NOMBRE FROM N";
  search.where_added = true;
  search.conditions.push_back({"NOMBRE", SearchStatement::Test::kLike, SearchStatement::Kind::kText, "UN%"});
  std::string ordered = "select i, nombre from n order by nombre";
  bool flag = false;
  auto windows = db->OpenCursor(search, flag);
  auto whole = db->OpenCursor(ordered, flag);
  ExecuteScript(address, "update n set nombre = 'unos' where i in (5000, 19999)");
  int expected = 1;
  for (; !windows->AtEnd(); windows->MoveNext(), ++expected) {
    ASSERT_EQ(windows->Fields().Item("i").ToString(), std::to_string(expected));
    if (expected == 5000) {
      EXPECT_EQ(windows->Fields().Item("nombre").ToString(), "unos");
    }
  }
  EXPECT_EQ(expected, 20001);
  int changed = 0;
  for (; !whole->AtEnd(); whole->MoveNext()) changed += whole->Fields().Item("nombre").ToString() == "unos";
  EXPECT_EQ(changed, 0);
}

}  // namespace
}  // namespace trovel
