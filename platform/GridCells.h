// GridCells: the cell texts of a FlexGrid, row by row. Rows live in blocks
// of about kBlockCells cells, so that appending a row never moves the rows
// already there (a grid of 100,000 rows grows without copying itself) and
// the slack is at most one block's. Each cell is a CellText of 16 bytes: a
// short text (up to 15 bytes, which covers dates, codes and most numbers)
// lives inside it without a heap allocation of its own.
//
// Thread-safety: none; the grid that owns it serialises access.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/CellText.h"

namespace trovel {

class GridCells {
 public:
  explicit GridCells(int cols) : cols_(cols) {}
  GridCells(const GridCells&) = delete;
  GridCells& operator=(const GridCells&) = delete;

  int Rows() const { return rows_; }
  int Cols() const { return cols_; }

  // The text of a cell, valid until the cell or the grid's shape changes.
  // REQUIRES: 0 <= row < Rows() and 0 <= col < Cols().
  std::string_view At(int row, int col) const { return blocks_[Block(row)][Offset(row, col)].View(); }
  // REQUIRES: 0 <= row < Rows() and 0 <= col < Cols().
  void Set(int row, int col, std::string_view text) { Cell(row, col).Assign(text); }

  // Appends one row of empty cells.
  void AppendRow() { AppendEmptyRow(); }
  // Appends one row whose cells take the texts texts[0 .. Cols()).
  void AppendRow(const std::string* texts);
  // Drops rows from the end or appends empty ones.
  void Resize(int rows);
  // Keeps the texts of the columns that remain; new columns are empty.
  void SetCols(int cols);
  // Removes a row; later rows move up by one.
  // REQUIRES: 0 <= row < Rows().
  void EraseRow(int row);

 private:
  static constexpr int kBlockCells = 4096;

  // Counts a new row and returns the block it goes into, with room for it.
  std::vector<CellText>& BlockForNewRow();
  // Appends one row of empty cells and returns its first cell; the row's
  // cells follow it. The pointer is valid until the next change of shape.
  CellText* AppendEmptyRow();
  CellText& Cell(int row, int col) { return blocks_[Block(row)][Offset(row, col)]; }

  int RowsPerBlock() const { return cols_ > 0 && cols_ < kBlockCells ? kBlockCells / cols_ : 1; }
  size_t Block(int row) const { return static_cast<size_t>(row / RowsPerBlock()); }
  size_t Offset(int row, int col) const {
    return static_cast<size_t>(row % RowsPerBlock()) * static_cast<size_t>(cols_) + static_cast<size_t>(col);
  }

  std::vector<std::vector<CellText>> blocks_;
  int rows_ = 0;
  int cols_;
};

}  // namespace trovel
