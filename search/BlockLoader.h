// BlockLoader: moves the next block of a cursor's rows into a grid, the one
// read loop of both search controls. A block stops at the end of the data,
// or once more than `limit` rows were added: with a limit of 50 a block
// shows at most 51 rows, and the cursor, left on the 52nd, tells that more
// remain. The next block continues from the same open cursor; the grid only
// grows by appending.
//
// Each field's name is looked up once per block and its value read by
// position; the cell texts of a block go into the grid together, with one
// notice to its views. A row whose texts hold a TAB goes in through AddItem,
// which splits it, as every row did when rows were added one by one.
//
// When the cursor or a conversion fails, the rows finished before the
// failure are in the grid, `rows_loaded` counts them, and the failure goes
// to the caller.
//
// Thread-safety: none; it runs on the control's thread.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "contracts/DataCursor.h"
#include "platform/FlexGrid.h"

namespace trovel {

class BlockLoader {
 public:
  enum class BlockEnd { kMoreRows, kEndOfData };

  // What fills one grid column: the field's name (any letter case) and the
  // Format pattern of its texts; without one a value shows its own text. A
  // Null shows as "".
  struct Column {
    std::string field;
    std::optional<std::string> format;
  };
  // Describes grid column `col` (from 0). It is asked once per block for
  // each column, left to right, when the first row of the block is there,
  // each field looked up right after its column is described: what either
  // throws comes where a reader of one row at a time would have thrown it.
  using Describe = std::function<Column(int col)>;

  BlockLoader() = default;
  BlockLoader(const BlockLoader&) = delete;
  BlockLoader& operator=(const BlockLoader&) = delete;

  // Appends the next block. `rows_loaded` is set to 0, then counts the rows
  // appended. Only the grid's first Cols() columns are filled.
  // REQUIRES: cursor is open.
  BlockEnd Load(DataCursor& cursor, FlexGrid& grid, const Describe& describe, int32_t limit,
                int32_t& rows_loaded);

  // After a next press: when rows were appended from grid row `first_new`
  // on, that row becomes the grid's current row. A view scrolls a new block
  // into sight; the row it highlights there is then the row a selection
  // reads and the row the arrow keys move from. Fires the grid's leave-cell
  // and row-change handlers, as any move of the current cell does.
  // REQUIRES: first_new is the grid's Rows() before the press.
  static void CurrentToFirstNew(FlexGrid& grid, int first_new);

 private:
  std::vector<std::string> cells_;  // the block's texts, reused by each block
};

}  // namespace trovel
