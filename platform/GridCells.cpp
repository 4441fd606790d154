#include "platform/GridCells.h"

#include <algorithm>
#include <utility>

namespace trovel {

std::vector<CellText>& GridCells::BlockForNewRow() {
  const size_t cols = static_cast<size_t>(cols_);
  if (rows_ % RowsPerBlock() == 0) blocks_.emplace_back();
  // A block grows by doubling, as rows come, up to its full size and never
  // beyond it: a small grid holds little, a large one wastes nothing.
  std::vector<CellText>& block = blocks_.back();
  if (block.size() + cols > block.capacity())
    block.reserve(std::min(std::max(block.capacity() * 2, cols * 2), static_cast<size_t>(RowsPerBlock()) * cols));
  ++rows_;
  return block;
}

CellText* GridCells::AppendEmptyRow() {
  const size_t cols = static_cast<size_t>(cols_);
  std::vector<CellText>& block = BlockForNewRow();
  block.resize(block.size() + cols);
  return cols ? &block[block.size() - cols] : nullptr;
}

void GridCells::AppendRow(const std::string* texts) {
  CellText* row = AppendEmptyRow();
  for (int c = 0; c < cols_; ++c) row[c].Assign(texts[c]);
}

void GridCells::Resize(int rows) {
  while (rows_ < rows) AppendRow();
  if (rows_ == rows) return;
  rows_ = rows;
  const size_t used_blocks = rows == 0 ? 0 : Block(rows - 1) + 1;
  blocks_.resize(used_blocks);
  if (used_blocks > 0) {
    const size_t rows_in_last = static_cast<size_t>(rows - 1) % static_cast<size_t>(RowsPerBlock()) + 1;
    blocks_.back().resize(rows_in_last * static_cast<size_t>(cols_));
  }
}

void GridCells::SetCols(int cols) {
  if (cols == cols_) return;
  GridCells reshaped(cols);
  const int kept = cols < cols_ ? cols : cols_;
  for (int r = 0; r < rows_; ++r) {
    CellText* row = reshaped.AppendEmptyRow();
    for (int c = 0; c < kept; ++c) row[c] = std::move(Cell(r, c));
  }
  std::swap(blocks_, reshaped.blocks_);
  cols_ = cols;
}

void GridCells::EraseRow(int row) {
  for (int r = row; r + 1 < rows_; ++r)
    for (int c = 0; c < cols_; ++c) Cell(r, c) = std::move(Cell(r + 1, c));
  Resize(rows_ - 1);
}

}  // namespace trovel
