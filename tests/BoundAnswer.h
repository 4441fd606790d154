// BoundAnswer: the database's own answer to one filter condition with its
// value bound, asked through the backend's own client library (sqlite3 with
// the connection's text rules, libpq), around every part of Trovel that
// builds or renders a statement. The injection suite holds what a control
// shows against it.
#pragma once

#include <libpq-fe.h>
#include <sqlite3.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "connectors/SqliteTextRules.h"

namespace trovel {

class BoundAnswer {
 public:
  // `address` as ContractDatabase::Make returns it.
  explicit BoundAnswer(const std::string& address) {
    if (address.rfind("sqlite:", 0) == 0) {
      if (sqlite3_open_v2(address.substr(7).c_str(), &sqlite_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot open " + address);
      SqliteTextRules::Install(sqlite_);
    } else {
      pg_ = PQconnectdb(address.c_str());
      if (PQstatus(pg_) != CONNECTION_OK) throw std::runtime_error(PQerrorMessage(pg_));
      PQclear(PQexec(pg_, "SET DateStyle = 'ISO, MDY'"));
    }
  }
  ~BoundAnswer() {
    sqlite3_close(sqlite_);
    if (pg_) PQfinish(pg_);
  }
  BoundAnswer(const BoundAnswer&) = delete;
  BoundAnswer& operator=(const BoundAnswer&) = delete;

  bool Sqlite() const { return sqlite_ != nullptr; }

  // The codes of `table` whose rows meet `condition`, in code order;
  // `condition` holds one parameter, "?" on SQLite and "$1" on PostgreSQL,
  // bound to `value`, or none. Null when the database refuses the value
  // (text that is not UTF-8 on PostgreSQL, say).
  std::optional<std::vector<std::string>> Codes(const std::string& table, const std::string& condition, const std::string& value) {
    const std::string sql = "select codigo from " + table + " where " + condition + " order by codigo";
    std::vector<std::string> codes;
    if (sqlite_) {
      sqlite3_stmt* stmt = nullptr;
      if (sqlite3_prepare_v2(sqlite_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(sqlite_));
      sqlite3_bind_text64(stmt, 1, value.data(), value.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
      while (sqlite3_step(stmt) == SQLITE_ROW) codes.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
      sqlite3_finalize(stmt);
      return codes;
    }
    const char* values[] = {value.c_str()};
    const int count = condition.find("$1") == std::string::npos ? 0 : 1;
    std::unique_ptr<PGresult, void (*)(PGresult*)> r(
        PQexecParams(pg_, sql.c_str(), count, nullptr, values, nullptr, nullptr, 0), PQclear);
    if (PQresultStatus(r.get()) != PGRES_TUPLES_OK) return std::nullopt;
    for (int i = 0; i < PQntuples(r.get()); ++i) codes.emplace_back(PQgetvalue(r.get(), i, 0));
    return codes;
  }

  // Advisory locks held by any session of the server (0 on SQLite).
  int AdvisoryLocks() {
    if (sqlite_) return 0;
    std::unique_ptr<PGresult, void (*)(PGresult*)> r(
        PQexec(pg_, "select count(*) from pg_locks where locktype = 'advisory'"), PQclear);
    return PQresultStatus(r.get()) == PGRES_TUPLES_OK ? std::stoi(PQgetvalue(r.get(), 0, 0)) : -1;
  }

 private:
  sqlite3* sqlite_ = nullptr;
  PGconn* pg_ = nullptr;
};

}  // namespace trovel
