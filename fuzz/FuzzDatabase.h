// FuzzDatabase: the small real database the search fuzz targets read, an
// in-memory SQLite database that the targets' searches may only read.
#pragma once

#include <memory>
#include <string>

#include "connectors/SqliteConnection.h"
#include "platform/FlexGrid.h"

namespace trovel {

// The rows of clientes: C001 to C060.
constexpr int kFuzzRows = 60;

// A database with clientes (codigo, nombre, alta, n) and secretos (clave),
// a table no search may read.
inline std::shared_ptr<SqliteConnection> MakeFuzzDatabase() {
  auto db = std::make_shared<SqliteConnection>(":memory:");
  db->Execute("create table clientes (codigo text, nombre text, alta date, n integer)");
  db->Execute("create table secretos (clave text)");
  db->Execute("insert into secretos values ('s1')");
  db->Execute("with recursive k(i) as (select 1 union all select i + 1 from k where i < " + std::to_string(kFuzzRows) +
              ") insert into clientes select printf('C%03d', i), 'Nombre ' || i, date('2001-01-01', '+' || i || ' days'), i from k");
  return db;
}

// How many rows `table` has, read around any control.
inline long long RowsOf(SqliteConnection& db, const std::string& table) {
  std::string sql = "select count(*) as n from " + table;
  bool flag = false;
  auto cursor = db.OpenCursor(sql, flag);
  const long long n = static_cast<long long>(cursor->Fields().Item("n").ToDouble());
  cursor->Close();
  return n;
}

// Whether every row `grid` shows is a row of clientes, whole: its code
// C001..C060 in column 0 and that row's own name in column 1. The blank row
// a read that found nothing leaves counts as none. Whatever the filters
// held, a search shows rows of its base statement's answer and nothing else.
inline bool ShowsOnlyRowsOfClientes(const FlexGrid& grid) {
  for (int r = 1; r < grid.Rows(); ++r) {
    const std::string code = grid.TextMatrix(r, 0), name = grid.TextMatrix(r, 1);
    if (code.empty() && name.empty()) continue;
    if (code.size() != 4 || code[0] != 'C') return false;
    int i = 0;
    for (char c : code.substr(1)) {
      if (c < '0' || c > '9') return false;
      i = i * 10 + (c - '0');
    }
    if (i < 1 || i > kFuzzRows || name != "Nombre " + std::to_string(i)) return false;
  }
  return true;
}

}  // namespace trovel
