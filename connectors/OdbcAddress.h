// OdbcAddress: what the connectors know of an ODBC address without loading
// a driver. An address is "odbc:" followed by an ODBC connection string
// (DSN=ventas;UID=lectura, DRIVER={MariaDB Unicode};SERVER=...) or by a
// data source's name alone (odbc:ventas, read as DSN=ventas). The string may
// hold a password (PWD=, PASSWORD=), which must never reach output,
// messages, logs or a saved form.
//
// A connection string is a list of KEY=VALUE separated by ";"; a value in
// braces ({...}, "}}" standing for "}") may hold ";" and "=". Keys are
// compared without regard to letter case.
//
// Thread-safety: only static functions; safe from any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace trovel {

class OdbcAddress {
 public:
  OdbcAddress() = delete;

  // True when `address` starts with "odbc:" (any letter case).
  static bool Matches(std::string_view address);

  // The connection string that `address` gives the driver manager: the
  // text after "odbc:", or "DSN=NAME" for a name alone. Throws Error
  // (Error::kDatabase) when nothing follows "odbc:" or a braced value is
  // not closed.
  static std::string ConnectionString(std::string_view address);

  // `address` with the value of every PWD and PASSWORD replaced by "****";
  // an address whose parts cannot be told apart is not shown at all.
  static std::string Masked(std::string_view address);

  // `address` without its PWD and PASSWORD, as a form may keep it; nullopt
  // when its parts cannot be told apart.
  static std::optional<std::string> WithoutSecrets(std::string_view address);

  // The value of `key` in the connection string of `address` (braces taken
  // off), "" when it has none; for a name alone, the name as DSN.
  static std::string Value(std::string_view address, std::string_view key);
};

}  // namespace trovel
