// DataCursor: a forward-only cursor over the rows of one statement. It stands
// on the first row when it is returned. The control that opened it owns it and
// calls Close before releasing it.
#pragma once

#include <memory>
#include <string>

#include "contracts/Fields.h"
#include "platform/RefObject.h"

namespace trovel {

class DataCursor : public RefObject {
 public:
  // The fields of the current row; owned by the cursor.
  // REQUIRES: IsOpen() and !AtEnd().
  virtual const trovel::Fields& Fields() = 0;
  // True when no current row is left.
  virtual bool AtEnd() = 0;
  // Moves to the next row. The text result carries no meaning for callers.
  virtual std::string MoveNext() = 0;
  // Releases the statement; IsOpen() is false afterwards. Safe to call twice.
  virtual std::string Close() = 0;
  virtual bool IsOpen() = 0;

  // Closes a held cursor, then releases it. When Close fails the failure
  // goes to the caller and the cursor is still held, as it was.
  static void CloseAndRelease(std::shared_ptr<DataCursor>& cursor) {
    if (!cursor) return;
    cursor->Close();
    cursor.reset();
  }
};

}  // namespace trovel
