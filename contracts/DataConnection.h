// DataConnection: what a search control needs of a database. The host owns
// the connection and lends it to a control through glbDb; each OpenCursor
// returns a new cursor that the caller owns.
//
// A control reads through the SearchStatement form of OpenCursor: the
// statement's text together with its parts, so that the connection binds
// what the user typed as values. The text form runs SQL that a host wrote
// itself.
//
// Thread-safety: a connection and its cursors are used by one thread at a
// time.
#pragma once

#include <memory>
#include <string>

#include "contracts/DataCursor.h"
#include "contracts/SearchStatement.h"
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
  // Runs a control's read, its typed values bound, and returns a cursor
  // standing on its first row. The default runs statement.StandardText()
  // through the text form; a connection that can bind values overrides it.
  // Throws Error when the statement cannot run or a value is not of its
  // column's type.
  virtual std::shared_ptr<DataCursor> OpenCursor(const SearchStatement& statement, bool& flag) {
    std::string text = statement.StandardText();
    return OpenCursor(text, flag);
  }
};

}  // namespace trovel
