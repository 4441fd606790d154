// EchoConnection: a connection that prints each statement it is asked to
// run, then passes it on.
#pragma once

#include <ostream>

#include "contracts/ForwardingConnection.h"

namespace trovel::cli {

class EchoConnection : public ForwardingConnection {
 public:
  // REQUIRES: `out` outlives the connection.
  EchoConnection(std::shared_ptr<DataConnection> target, std::ostream& out)
      : ForwardingConnection(std::move(target)), out_(out) {}

  std::shared_ptr<DataCursor> OpenCursor(std::string& statement, bool& flag) override {
    out_ << "sql: " << statement << "\n";
    return ForwardingConnection::OpenCursor(statement, flag);
  }

 private:
  std::ostream& out_;
};

}  // namespace trovel::cli
