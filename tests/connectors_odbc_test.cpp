// The ODBC connector beyond the contract suites: what an odbc: address
// says and hides, the values of each SQL type as they come from MariaDB
// through odbc-mariadb, and the demo's sample tables made through ODBC.
// The server runs come from the fixture odbc_servers_start, and fail when
// it is missing.
#include <gtest/gtest.h>

#include "apps/cli/SampleDatabase.h"
#include "connectors/OdbcAddress.h"
#include "connectors/OdbcConnection.h"
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

}  // namespace
}  // namespace trovel
