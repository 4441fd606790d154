// PgAddress: what the connectors know of a PostgreSQL address without
// talking to a server. An address is a libpq URI (postgresql://, postgres://)
// or a keyword string (host=... dbname=...), and may hold a password, which
// must never reach output, messages or logs.
//
// Thread-safety: only static functions; safe from any thread.
#pragma once

#include <string>
#include <string_view>

namespace trovel {

class PgAddress {
 public:
  PgAddress() = delete;

  // True when `address` is a PostgreSQL URI or a keyword string: it starts
  // with "postgresql://" or "postgres://", or with a word followed by "=".
  static bool Matches(std::string_view address);

  // `address` with every password in it replaced by "****": the value of
  // password= in a keyword string or a URI's query, and the part after ":" in
  // a URI's user:password@ (of any scheme://, so that an address of an
  // unknown kind is masked too). An address whose password cannot be told apart
  // (a keyword string broken after "password") is not shown at all.
  static std::string Masked(std::string_view address);
};

}  // namespace trovel
