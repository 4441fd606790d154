// ForwardingCursor: passes every call to a wrapped cursor, so that a
// recording or fault-injecting wrapper overrides only what it needs.
#pragma once

#include <memory>

#include "contracts/DataCursor.h"

namespace trovel {

class ForwardingCursor : public DataCursor {
 public:
  // REQUIRES: target is not null. The wrapper shares ownership of it.
  explicit ForwardingCursor(std::shared_ptr<DataCursor> target) : target_(std::move(target)) {}

  const trovel::Fields& Fields() override { return target_->Fields(); }
  bool AtEnd() override { return target_->AtEnd(); }
  std::string MoveNext() override { return target_->MoveNext(); }
  std::string Close() override { return target_->Close(); }
  bool IsOpen() override { return target_->IsOpen(); }

 private:
  std::shared_ptr<DataCursor> target_;
};

}  // namespace trovel
