// EchoConnection: a connection that hands each statement it is asked to run
// to a listener (or prints it), then passes it on. A control's read is shown
// as the control built its text.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "contracts/ForwardingConnection.h"

namespace trovel::cli {

class EchoConnection : public ForwardingConnection {
 public:
  using Listener = std::function<void(const std::string& statement)>;

  EchoConnection(std::shared_ptr<DataConnection> target, Listener listener)
      : ForwardingConnection(std::move(target)), listener_(std::move(listener)) {}
  // Prints "sql: " and the statement, a line each.
  // REQUIRES: `out` outlives the connection.
  EchoConnection(std::shared_ptr<DataConnection> target, std::ostream& out)
      : EchoConnection(std::move(target), [&out](const std::string& statement) { out << "sql: " << statement << "\n"; }) {}

  std::shared_ptr<DataCursor> OpenCursor(std::string& statement, bool& flag) override {
    listener_(statement);
    return ForwardingConnection::OpenCursor(statement, flag);
  }
  // A control's read shows as the text it built; its values go on bound.
  std::shared_ptr<DataCursor> OpenCursor(const SearchStatement& statement, bool& flag) override {
    listener_(statement.text);
    return ForwardingConnection::OpenCursor(statement, flag);
  }

 private:
  Listener listener_;
};

}  // namespace trovel::cli
