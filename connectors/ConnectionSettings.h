// ConnectionSettings: how a connection behaves beyond its address. Every
// backend reads the settings it has a use for and ignores the others.
#pragma once

#include <chrono>

namespace trovel {

struct ConnectionSettings {
  // How long a read may keep its transaction open with nobody paging on
  // before the server ends the session. An open cursor on a server holds a
  // transaction, and a form left open must not hold the server's clean-up
  // back for ever; past the limit the next page gives a clear message and the
  // next read connects again. Zero or less leaves the server's own setting.
  std::chrono::milliseconds idle_transaction_limit = std::chrono::minutes(5);

  // Whether a database file that does not exist is made, empty. A host that
  // opens the database a user named turns this off, so that a mistyped path
  // gives a message instead of an empty database that finds nothing.
  bool create_missing_file = true;
};

}  // namespace trovel
