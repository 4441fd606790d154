// SearchStart: what both search controls do to their grid and their cursor
// when a read starts, before the first block is loaded.
//
// Thread-safety: none; it runs on the control's thread.
#pragma once

#include <memory>
#include <string>

#include "contracts/DataConnection.h"
#include "platform/FlexGrid.h"

namespace trovel {

struct SearchStart {
  // Leaves the grid with its header row, fixed, and one blank row under it,
  // which the first block's rows follow.
  static void ClearGrid(FlexGrid& grid);
  // Closes and releases the cursor held in `cursor`, if any, then opens
  // `statement` on `connection` into it, its values bound. Throws
  // Error::ObjectNotSet when there is no connection; a cursor whose Close
  // fails is still held.
  static void Reopen(std::shared_ptr<DataCursor>& cursor, const std::shared_ptr<DataConnection>& connection,
                     const SearchStatement& statement);
};

}  // namespace trovel
