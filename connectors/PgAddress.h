// PgAddress: what the connectors know of a PostgreSQL address without
// talking to a server. An address is a libpq URI (postgresql://, postgres://)
// or a keyword string (host=... dbname=...), and may hold secrets (a
// password, an SSL key's passphrase), which must never reach output,
// messages, logs or a saved form.
//
// The secrets are found by the address's structure, read as libpq reads it:
// the value of a secret keyword, and the password of a URI's user:password@.
// Nothing here searches a text for a secret's value.
//
// Thread-safety: only static functions; safe from any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace trovel {

class PgAddress {
 public:
  PgAddress() = delete;

  // True when `address` is a PostgreSQL URI or a keyword string: it starts
  // with "postgresql://" or "postgres://", or with a word followed by "=".
  static bool Matches(std::string_view address);

  // True when libpq keeps the value of `keyword` secret: "password",
  // "sslpassword", and every other keyword that libpq shows as "*"
  // (PQconndefaults' dispchar). Letter case is ignored.
  static bool IsSecret(std::string_view keyword);

  // `address` with every secret in it replaced by "****": the value of each
  // secret keyword in a keyword string (quoted or not) or a URI's query, and
  // the part after ":" in a URI's user:password@ (of any scheme://, so that
  // an address of an unknown kind is masked too). An address whose secrets
  // cannot be told apart (a keyword string broken where a secret keyword
  // appears, a URI with an "@" that libpq would not read as the end of
  // user:password) is not shown at all.
  static std::string Masked(std::string_view address);

  // `address` with its secrets taken out, as it may be saved: the secret
  // keywords dropped with their values, a URI's ":password" dropped from its
  // user part. The connection then finds its password where libpq looks
  // for one (~/.pgpass, PGPASSWORD). nullopt when the secrets cannot be told
  // apart, as for Masked.
  static std::optional<std::string> WithoutSecrets(std::string_view address);
};

}  // namespace trovel
