// DataConnection: what a search control needs of a database. The host owns
// the connection and lends it to a control through glbDb; each OpenCursor
// returns a new cursor that the caller owns.
#pragma once

#include <memory>
#include <string>

#include "contracts/DataCursor.h"
#include "platform/RefObject.h"

namespace trovel {

class DataConnection : public RefObject {
 public:
  // Text of the last failure of this connection ("" when none).
  virtual std::string LastErrorText() = 0;
  // Runs `statement` and returns a cursor standing on its first row.
  // `flag` is reserved; its value after the call carries no meaning.
  // Throws Error when the statement cannot run.
  virtual std::shared_ptr<DataCursor> OpenCursor(std::string& statement, bool& flag) = 0;
};

}  // namespace trovel
