#include "search/BlockLoader.h"

#include <algorithm>

#include "platform/FormatPicture.h"

namespace trovel {

namespace {

// The text that a grid cell shows for `value`; `picture` is the column's
// Format picture, read once per block.
std::string TextOfCell(Variant&& value, const std::optional<FormatPicture>& picture) {
  if (value.IsNull()) return std::string();
  return picture ? picture->Apply(value) : std::move(value).ToString();
}

// Whether a cell's text may hold a TAB: only text from the database, or a
// picture's own literal text, can.
bool MayHoldTab(const Variant& value, bool picture_has_tab) {
  return value.type() == Variant::Type::String || picture_has_tab;
}

}  // namespace

BlockLoader::BlockEnd BlockLoader::Load(DataCursor& cursor, FlexGrid& grid, const Describe& describe, int32_t limit,
                                        int32_t& rows_loaded) {
  rows_loaded = 0;
  cells_.clear();
  cells_.reserve(static_cast<size_t>(limit + 1) * static_cast<size_t>(std::max(grid.Cols(), 0)));
  int pending = 0;  // rows in cells_, not yet in the grid
  auto flush = [&] {
    grid.AddRows(cells_, pending);
    pending = 0;
  };
  try {
    std::vector<std::optional<FormatPicture>> pictures;
    std::vector<bool> picture_has_tab;
    std::vector<int> positions;
    const int cols = grid.Cols();
    for (;;) {
      if (cursor.AtEnd()) {
        flush();
        return BlockEnd::kEndOfData;
      }
      if (rows_loaded > limit) {
        flush();
        return BlockEnd::kMoreRows;
      }
      const Fields& fields = cursor.Fields();
      if (rows_loaded == 0) {
        for (int c = 0; c < cols; ++c) {
          const Column column = describe(c);
          positions.push_back(fields.IndexOf(column.field));
          pictures.emplace_back();
          if (column.format) pictures.back().emplace(*column.format);
          picture_has_tab.push_back(column.format && column.format->find('\t') != std::string::npos);
        }
      }
      bool has_tab = false;
      for (int c = 0; c < cols; ++c) {
        const size_t k = static_cast<size_t>(c);
        Variant value = fields.ItemAt(positions[k]);
        const bool may_hold_tab = MayHoldTab(value, picture_has_tab[k]);
        cells_.push_back(TextOfCell(std::move(value), pictures[k]));
        has_tab = has_tab || (may_hold_tab && cells_.back().find('\t') != std::string::npos);
      }
      if (has_tab) {
        // AddItem splits such a row at its TABs; keep that.
        std::string row;
        for (int c = 0; c < cols; ++c) {
          if (c) row += '\t';
          row += cells_[cells_.size() - static_cast<size_t>(cols - c)];
        }
        cells_.resize(cells_.size() - static_cast<size_t>(cols));
        flush();
        grid.AddItem(row);
      } else {
        ++pending;
      }
      ++rows_loaded;
      cursor.MoveNext();
    }
  } catch (...) {
    // A row that failed half way is not shown; the rows before it are.
    cells_.resize(static_cast<size_t>(pending) * static_cast<size_t>(grid.Cols()));
    flush();
    throw;
  }
}

void BlockLoader::CurrentToFirstNew(FlexGrid& grid, int first_new) {
  if (first_new >= grid.FixedRows() && first_new < grid.Rows()) grid.SetRow(first_new);
}

}  // namespace trovel
