// OpenConnection: one way to name a database for every host. An address
// chooses its backend the way SQLite chooses a VFS by name, from a small
// table of backends, SQLite being the default:
//
//   sqlite:PATH, :memory:, or a plain PATH      an SQLite database file
//   postgresql://user@host:port/db?...          a PostgreSQL server (libpq URI)
//   postgres://...                              the same
//   host=... dbname=... [key=value ...]         a PostgreSQL keyword string,
//       including libpq's several-host form: host=a,b target_session_attrs=...
//   odbc:DSN=...;UID=..., odbc:DRIVER={...};... any database an ODBC driver
//   odbc:NAME                                   reaches (an ODBC connection
//                                               string, or a data source's name)
//
// A plain path that looks like a keyword string (a=b.db) must be written with
// "sqlite:". Another scheme:// is refused, not taken for a file name.
//
// Thread-safety: the functions may be called from any thread; what they
// return follows its own class's rule.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "connectors/ConnectionSettings.h"
#include "contracts/DataConnection.h"

namespace trovel {

// Opens the connection that `address` names. The caller owns it. Throws
// Error (Error::kDatabase) when no backend takes the address or it cannot be
// opened (an SQLite file; a server address that is not valid: a server that
// cannot be reached yet is tried again by each read); passwords in the
// address never appear in the message.
std::shared_ptr<DataConnection> OpenConnection(const std::string& address, const ConnectionSettings& settings = {});

// Runs any SQL, several statements and writes included, on the database that
// `address` names: for set-up code (the sample database), never for the
// controls, whose connections only read. Throws Error.
void ExecuteScript(const std::string& address, const std::string& sql);

// The file that `address` names, as written in it (relative or absolute):
// the path of an SQLite address, "sqlite:PATH" or a plain PATH; "" for
// ":memory:", a server and an address that no backend takes.
std::string DatabaseFile(const std::string& address);

// `address` as it may be shown or logged: every password in it masked.
std::string ShownAddress(const std::string& address);

// `address` as a file may keep it: a server's address without its secrets
// (passwords), which the connection then finds where libpq looks for them
// (~/.pgpass, PGPASSWORD); an SQLite address as it is. nullopt when the
// secrets cannot be told apart from the rest.
std::optional<std::string> SavableAddress(const std::string& address);

// What a window title may say of the database at `address`: its kind and
// its name, never a secret nor where it lives ("SQLite sample.db",
// "PostgreSQL ventas"); "" for an address that no backend takes.
std::string DatabaseTitle(const std::string& address);

// The name of the backend that `address` chooses ("sqlite", "postgresql",
// "odbc").
// Throws Error when none does.
std::string BackendName(const std::string& address);

}  // namespace trovel
