// ForwardingConnection: passes every call to a wrapped connection, so that a
// recording or fault-injecting wrapper overrides only what it needs.
#pragma once

#include <memory>

#include "contracts/DataConnection.h"

namespace trovel {

class ForwardingConnection : public DataConnection {
 public:
  // REQUIRES: target is not null. The wrapper shares ownership of it.
  explicit ForwardingConnection(std::shared_ptr<DataConnection> target) : target_(std::move(target)) {}

  std::string LastErrorText() override { return target_->LastErrorText(); }
  std::shared_ptr<DataCursor> OpenCursor(std::string& statement, bool& flag) override {
    return target_->OpenCursor(statement, flag);
  }
  std::shared_ptr<DataCursor> OpenCursor(const SearchStatement& statement, bool& flag) override {
    return target_->OpenCursor(statement, flag);
  }

  DataConnection& target() { return *target_; }

 private:
  std::shared_ptr<DataConnection> target_;
};

}  // namespace trovel
