#include "connectors/OpenConnection.h"

#include <filesystem>
#include <string_view>

#include "connectors/OdbcAddress.h"
#include "connectors/PgAddress.h"
#include "connectors/ReadRefusal.h"
#include "connectors/SqliteConnection.h"
#include "platform/Error.h"
#ifdef TROVEL_HAVE_ODBC
#include "connectors/OdbcConnection.h"
#endif
#ifdef TROVEL_HAVE_POSTGRESQL
#include <libpq-fe.h>

#include "connectors/PgConnection.h"
#endif

namespace trovel {

namespace {

// One entry of the table of backends. `Target` turns the address into what
// the backend itself reads (SQLite's path without "sqlite:").
struct Backend {
  const char* name;
  bool (*Accepts)(std::string_view address);
  std::string (*Target)(const std::string& address);
  std::shared_ptr<DataConnection> (*Open)(const std::string& target, const ConnectionSettings& settings);
  void (*Execute)(const std::string& target, const std::string& sql);
};

constexpr std::string_view kSqlitePrefix = "sqlite:";

std::string Same(const std::string& address) { return address; }

#ifdef TROVEL_HAVE_POSTGRESQL
std::shared_ptr<DataConnection> OpenPostgres(const std::string& address, const ConnectionSettings& settings) {
  return std::make_shared<PgConnection>(address, settings);
}
void ExecutePostgres(const std::string& address, const std::string& sql) { PgConnection::Execute(address, sql); }
#else
[[noreturn]] void NoPostgres(const std::string&) {
  throw Error(Error::kDatabase,
              "No se puede abrir una base de datos PostgreSQL: esta compilación no tiene su conector (faltaba libpq)");
}
std::shared_ptr<DataConnection> OpenPostgres(const std::string& address, const ConnectionSettings&) {
  NoPostgres(address);
}
void ExecutePostgres(const std::string& address, const std::string&) { NoPostgres(address); }
#endif

#ifdef TROVEL_HAVE_ODBC
std::shared_ptr<DataConnection> OpenOdbc(const std::string& address, const ConnectionSettings& settings) {
  return std::make_shared<OdbcConnection>(address, settings);
}
void ExecuteOdbc(const std::string& address, const std::string& sql) { OdbcConnection::Execute(address, sql); }
#else
[[noreturn]] void NoOdbc(const std::string& address) {
  throw Error(Error::kDatabase, "no se puede abrir " + OdbcAddress::Masked(address) +
                                    ": esta compilación no tiene el conector ODBC (faltaba unixODBC al compilarla)");
}
std::shared_ptr<DataConnection> OpenOdbc(const std::string& address, const ConnectionSettings&) { NoOdbc(address); }
void ExecuteOdbc(const std::string& address, const std::string&) { NoOdbc(address); }
#endif

// Everything no other backend takes, except an unknown scheme://.
bool SqliteAccepts(std::string_view address) {
  if (address.substr(0, kSqlitePrefix.size()) == kSqlitePrefix) return true;
  size_t scheme = address.find("://");
  if (scheme == std::string_view::npos || scheme == 0) return true;
  for (char c : address.substr(0, scheme))
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'))
      return true;
  return false;
}
std::string SqlitePath(const std::string& address) {
  return address.compare(0, kSqlitePrefix.size(), kSqlitePrefix) == 0 ? address.substr(kSqlitePrefix.size()) : address;
}
std::shared_ptr<DataConnection> OpenSqlite(const std::string& path, const ConnectionSettings& settings) {
  if (!settings.create_missing_file && path != ":memory:" && !std::filesystem::is_regular_file(path))
    throw Error(Error::kDatabase, ReadRefusal::CannotOpen("el archivo no existe"));
  return std::make_shared<SqliteConnection>(path, settings);
}
void ExecuteSqlite(const std::string& path, const std::string& sql) { SqliteConnection(path).Execute(sql); }

// Looked at in order; the first that accepts the address serves it.
const Backend kBackends[] = {
    {"odbc", OdbcAddress::Matches, Same, OpenOdbc, ExecuteOdbc},
    {"postgresql", PgAddress::Matches, Same, OpenPostgres, ExecutePostgres},
    {"sqlite", SqliteAccepts, SqlitePath, OpenSqlite, ExecuteSqlite},
};

const Backend& Choose(const std::string& address) {
  if (address.find_first_not_of(" \t\r\n") == std::string::npos)
    throw Error(Error::kDatabase, "No se indicó la dirección de la base de datos");
  for (const Backend& b : kBackends)
    if (b.Accepts(address)) return b;
  throw Error(Error::kDatabase,
              "Ningún conector sirve esta dirección: nombra un tipo de base de datos desconocido (use sqlite:RUTA, "
              "postgresql://..., host=... u odbc:...)");
}

}  // namespace

std::shared_ptr<DataConnection> OpenConnection(const std::string& address, const ConnectionSettings& settings) {
  const Backend& b = Choose(address);
  return b.Open(b.Target(address), settings);
}

void ExecuteScript(const std::string& address, const std::string& sql) {
  const Backend& b = Choose(address);
  b.Execute(b.Target(address), sql);
}

std::string DatabaseFile(const std::string& address) {
  if (address.find_first_not_of(" \t\r\n") == std::string::npos) return "";
  for (const Backend& b : kBackends) {
    if (!b.Accepts(address)) continue;
    const std::string path = std::string_view(b.name) == "sqlite" ? SqlitePath(address) : "";
    return path == ":memory:" ? "" : path;
  }
  return "";
}

std::string ShownAddress(const std::string& address) {
  return OdbcAddress::Matches(address) ? OdbcAddress::Masked(address) : PgAddress::Masked(address);
}

std::optional<std::string> SavableAddress(const std::string& address) {
  // An SQLite file's name is a name, whatever words it holds.
  if (OdbcAddress::Matches(address)) return OdbcAddress::WithoutSecrets(address);
  for (const Backend& b : kBackends)
    if (b.Accepts(address)) return std::string_view(b.name) == "sqlite" ? address : PgAddress::WithoutSecrets(address);
  // An unknown kind of address may hold a user:password@ all the same.
  return PgAddress::WithoutSecrets(address);
}

std::string DatabaseTitle(const std::string& address) {
  for (const Backend& b : kBackends) {
    if (!b.Accepts(address)) continue;
    if (std::string_view(b.name) == "sqlite") {
      const std::string path = SqlitePath(address);
      return "SQLite " + (path == ":memory:" ? std::string("(en memoria)")
                                             : std::filesystem::path(path).filename().string());
    }
    if (std::string_view(b.name) == "odbc") {
      // The data source's name, else the database the string names.
      std::string name = OdbcAddress::Value(address, "DSN");
      for (const char* key : {"DATABASE", "DB", "DBQ"})
        if (name.empty()) name = std::filesystem::path(OdbcAddress::Value(address, key)).filename().string();
      return name.empty() ? "ODBC" : "ODBC " + name;
    }
    std::string name;
#ifdef TROVEL_HAVE_POSTGRESQL
    // The database the server would take: dbname, else the user's name.
    if (PQconninfoOption* options = PQconninfoParse(address.c_str(), nullptr)) {
      for (PQconninfoOption* o = options; o->keyword; ++o)
        if (o->val && *o->val && (std::string_view(o->keyword) == "dbname" || (name.empty() && std::string_view(o->keyword) == "user")))
          name = o->val;
      PQconninfoFree(options);
    }
#endif
    return name.empty() ? "PostgreSQL" : "PostgreSQL " + name;
  }
  return "";
}

std::string BackendName(const std::string& address) { return Choose(address).name; }

}  // namespace trovel
