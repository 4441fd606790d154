// Real data nobody here wrote: the public Chinook database, its SQLite
// edition as published (CamelCase names, dates stored with a time of day,
// amounts as REAL) and its PostgreSQL edition (timestamps, numeric) loaded
// into a schema, with the CamelCase names an ORM writes (quoted) over it.
// The same form, upper-cased base statement and all, searches both:
// accented names, dates with their boundaries, amounts; both backends show
// the same rows, and the rows the data holds, also on a PostgreSQL database
// made with the C locale.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "connectors/OpenConnection.h"
#include "ctltrovel2/ctlTrovel2.h"
#include "platform/HeadlessHost.h"
#include "platform/MemoryPropertyBag.h"
#include "tests/ContractDatabase.h"
#include "tests/PgServers.h"

namespace trovel {
namespace {

const std::string kData = std::string(TROVEL_SOURCE_DIR) + "/tests/data/chinook/";

// The PostgreSQL edition in schema chinook, and the CamelCase tables an ORM
// would have made in schema chinook_orm, the only one the form's address
// sees, in the database of `primary` (an address of the primary). Returns
// that address.
std::string LoadPostgres(const std::string& primary) {
  std::ifstream in(kData + "Chinook_PostgreSql.sql");
  std::stringstream all;
  all << in.rdbuf();
  std::string script = all.str();
  // The script creates a database and enters it (\c) before its tables.
  const size_t enter = script.find("\\c chinook;");
  if (enter == std::string::npos) throw std::runtime_error("Chinook_PostgreSql.sql has changed");
  script.erase(0, script.find('\n', enter) + 1);
  ExecuteScript(primary, "drop schema if exists chinook cascade; drop schema if exists chinook_orm cascade;"
                          "create schema chinook; create schema chinook_orm");
  ExecuteScript(ContractDatabase::InSchema(primary, "chinook"), script);
  ExecuteScript(primary,
                "create table chinook_orm.\"Customer\" as select customer_id as \"CustomerId\", first_name as "
                "\"FirstName\", last_name as \"LastName\", city as \"City\", country as \"Country\" from chinook.customer;"
                "create table chinook_orm.\"Invoice\" as select invoice_id as \"InvoiceId\", customer_id as "
                "\"CustomerId\", invoice_date as \"InvoiceDate\", billing_city as \"BillingCity\", total as \"Total\" "
                "from chinook.invoice");
  return primary + " options='-c search_path=chinook_orm'";
}

// A database of the primary made with the C locale, whose own case folding
// knows ASCII letters only; returns its address.
std::string MakeCLocaleDatabase() {
  const PgServers servers = PgServers::Load();
  ExecuteScript(servers.primary, "drop database if exists trovel_c with (force)");
  ExecuteScript(servers.primary,
                "create database trovel_c template template0 encoding 'UTF8' lc_collate 'C' lc_ctype 'C'");
  return servers.primary + " dbname=trovel_c";
}

// A copy of the SQLite edition for this process.
std::string CopySqlite() {
  const std::string path = (std::filesystem::temp_directory_path() / ("chinook-" + std::to_string(getpid()) + ".db"));
  std::filesystem::copy_file(kData + "Chinook_Sqlite.sqlite", path, std::filesystem::copy_options::overwrite_existing);
  return path;
}

struct Column {
  const char* field;
  TIPOC type;
  const char* format;
};

// One form: a ctlTrovel2 over `base`, its columns quoted as the names must
// be written for PostgreSQL.
class Form {
 public:
  Form(std::shared_ptr<DataConnection> db, const std::string& base, const std::string& table,
       const std::vector<Column>& columns, const std::string& order) {
    ctl.ReadProperties(bag);
    int key = 0;
    for (const Column& c : columns) {
      auto column = ctl.Columns()->Add(std::to_string(key++), std::string("\"") + c.field + "\"", "\"" + table + "\"",
                                       c.type, c.field, 12);
      if (c.format) column->Format(c.format);
    }
    ctl.SentenciaSQL(base);
    ctl.OrderBy(order);
    ctl.glbDb(std::move(db));
  }

  // Reads with `filter` in filter-row column `col` and returns every row the
  // read shows (each row's cells joined by "|"), or the message it gave.
  std::vector<std::string> Search(int col, const std::string& filter) {
    if (ctl.Leido()) ctl.p_leer();  // back to the filter row
    for (int c = 0; c < ctl.grdDatos.Cols(); ++c) ctl.grdDatos.SetTextMatrix(1, c, c == col ? filter : "");
    host.messages.clear();
    ctl.p_leer();
    std::vector<std::string> rows;
    for (const auto& m : host.messages) rows.push_back("message: " + m.text);
    if (!host.messages.empty()) return rows;
    for (int r = 1; r < ctl.grdDatos.Rows(); ++r) {
      std::string row;
      for (int c = 0; c < ctl.grdDatos.Cols(); ++c) row += (c ? "|" : "") + ctl.grdDatos.TextMatrix(r, c);
      rows.push_back(row);
    }
    return rows;
  }

  HeadlessHost host;
  MemoryPropertyBag bag;
  ctlTrovel2 ctl{host};
};

class ChinookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    try {
      sqlite_path = CopySqlite();
      sqlite = OpenConnection("sqlite:" + sqlite_path);
      postgres = {OpenConnection(LoadPostgres(PgServers::Load().primary)),
                  OpenConnection(LoadPostgres(MakeCLocaleDatabase()))};
    } catch (const std::exception& e) {
      FAIL() << e.what();
    }
  }
  void TearDown() override { std::filesystem::remove(sqlite_path); }

  // Runs each search on both backends: the same rows (or the same message)
  // on SQLite and on each PostgreSQL database, and `rows` rows in the first
  // block (0 for a message).
  void ExpectSame(const std::string& base, const std::string& table, const std::vector<Column>& columns,
                  const std::string& order, const std::vector<std::tuple<int, std::string, size_t>>& searches) {
    Form on_sqlite(sqlite, base, table, columns, order);
    Form on_postgres(postgres[0], base, table, columns, order), on_c_locale(postgres[1], base, table, columns, order);
    for (const auto& [col, filter, rows] : searches) {
      const std::vector<std::string> a = on_sqlite.Search(col, filter);
      EXPECT_EQ(a, on_postgres.Search(col, filter)) << filter;
      EXPECT_EQ(a, on_c_locale.Search(col, filter)) << filter << " (C locale)";
      const bool message = !a.empty() && a[0].rfind("message: ", 0) == 0;
      EXPECT_EQ(message ? 0 : a.size(), rows) << filter << ": " << (a.empty() ? "" : a[0]);
      ++searches_run;
    }
  }

  std::string sqlite_path;
  std::shared_ptr<DataConnection> sqlite;
  std::vector<std::shared_ptr<DataConnection>> postgres;  // C.UTF-8 and C locales
  int searches_run = 0;
};

TEST_F(ChinookTest, CustomersByAccentedNamesOnBothBackends) {
  ExpectSame("select \"CustomerId\", \"FirstName\", \"LastName\", \"City\", \"Country\" from \"Customer\"", "Customer",
             {{"CustomerId", ctvNUMBER, nullptr}, {"FirstName", ctvTEXT, nullptr}, {"LastName", ctvTEXT, nullptr},
              {"City", ctvTEXT, nullptr}, {"Country", ctvTEXT, nullptr}},
             "\"CustomerId\"",
             {{2, "GONÇALVES", 1}, {2, "gonçalves", 1}, {2, "GONCALVES", 0}, {1, "JOÃO", 1}, {1, "joã%", 1},
              {3, "SÃO%", 3}, {3, "%são%", 3}, {2, "%Ö%", 2}, {2, "%ö%", 2}, {1, "LUÍS", 1}, {4, "brazil", 5},
              {2, "o'rei%", 1}, {0, "1", 1}, {0, "<5", 5}, {0, ">55", 5}});
  std::printf("Chinook customers: %d searches, the same rows on SQLite and PostgreSQL\n", searches_run);
}

// Dates stored with a time of day (SQLite: "2021-01-01 00:00:00" text;
// PostgreSQL: timestamp) compare as dates: midnight is the day itself, and
// "<" and ">" keep their boundary day. Amounts compare exactly.
TEST_F(ChinookTest, InvoicesByDateAndAmountOnBothBackends) {
  // (BillingCity is left out: the editions differ there, "Edinburgh " and
  // "Edinburgh".)
  ExpectSame("select \"InvoiceId\", \"InvoiceDate\", \"CustomerId\", \"Total\" from \"Invoice\"", "Invoice",
             {{"InvoiceId", ctvNUMBER, nullptr}, {"InvoiceDate", ctvDATE, nullptr}, {"CustomerId", ctvNUMBER, nullptr},
              {"Total", ctvNUMBER, "#,##0.00"}},
             "\"InvoiceId\"",
             {{1, "01/01/2021", 1}, {1, "01/02/2021", 2}, {1, "03/02/2021", 1}, {1, "<11/01/2021", 5},
              {1, "<10/01/2021", 4}, {1, ">22/12/2025", 1}, {1, "31/02/2021", 0}, {3, "13.86", 49}, {3, "0.99", 51},
              {3, ">25", 1}, {2, "<5", 35}});
  std::printf("Chinook invoices: %d searches, the same rows on SQLite and PostgreSQL\n", searches_run);
}

}  // namespace
}  // namespace trovel
