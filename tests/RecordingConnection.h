// A recording wrapper around a real connection: it logs, in order, every
// OpenCursor (with its statement) and every Close of a cursor it handed out,
// so that tests can check the order in which a control uses its connection.
// The log is shared by the connection and its cursors; tests own it.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "contracts/ForwardingConnection.h"
#include "contracts/ForwardingCursor.h"

namespace trovel {

struct CallLog {
  std::vector<std::string> calls;       // "Open", "Close" (and markers a test adds), in order
  std::vector<std::string> statements;  // every statement handed to OpenCursor
  std::weak_ptr<DataCursor> last_cursor;
  std::string failing_close;  // when set, each Close is logged and then fails with this text
};

class RecordingCursor : public ForwardingCursor {
 public:
  RecordingCursor(std::shared_ptr<DataCursor> target, std::shared_ptr<CallLog> log)
      : ForwardingCursor(std::move(target)), log_(std::move(log)) {}
  std::string Close() override {
    log_->calls.push_back("Close");
    if (!log_->failing_close.empty()) throw std::runtime_error(log_->failing_close);
    return ForwardingCursor::Close();
  }

 private:
  std::shared_ptr<CallLog> log_;
};

class RecordingConnection : public ForwardingConnection {
 public:
  RecordingConnection(std::shared_ptr<DataConnection> target, std::shared_ptr<CallLog> log)
      : ForwardingConnection(std::move(target)), log_(std::move(log)) {}
  std::shared_ptr<DataCursor> OpenCursor(std::string& statement, bool& flag) override {
    Log(statement);
    return Wrap(ForwardingConnection::OpenCursor(statement, flag));
  }
  // A control's read is logged with the text it built.
  std::shared_ptr<DataCursor> OpenCursor(const SearchStatement& statement, bool& flag) override {
    Log(statement.text);
    return Wrap(ForwardingConnection::OpenCursor(statement, flag));
  }

 private:
  void Log(const std::string& statement) {
    log_->calls.push_back("Open");
    log_->statements.push_back(statement);
  }
  std::shared_ptr<DataCursor> Wrap(std::shared_ptr<DataCursor> opened) {
    auto cursor = std::make_shared<RecordingCursor>(std::move(opened), log_);
    log_->last_cursor = cursor;
    return cursor;
  }

  std::shared_ptr<CallLog> log_;
};

}  // namespace trovel
