// HeaderTips: names filter boxes after the grid columns they filter. Box i
// (from 0) filters grid column i; its ToolTipText follows that column's
// caption in the grid's header row, whenever the header changes, so that a
// user and a screen reader can tell the boxes apart. A column without a
// caption, or missing from the grid, names its box "Columna n" (n from 1).
//
// Threading: the host's user-interface thread, like the grid.
// Ownership: borrows the grid and the boxes, which must outlive it.
#pragma once

#include <string>
#include <vector>

#include "platform/FlexGrid.h"
#include "platform/TextBox.h"

namespace trovel {

class HeaderTips : public FlexGrid::Observer {
 public:
  HeaderTips(FlexGrid& grid, std::vector<TextBox*> boxes);
  ~HeaderTips() override;
  HeaderTips(const HeaderTips&) = delete;
  HeaderTips& operator=(const HeaderTips&) = delete;

  // The caption of grid column `col` as its header shows it (blanks
  // trimmed), or "Columna n" when it has none.
  static std::string Caption(const FlexGrid& grid, int col);

  void GridReset() override { Refresh(); }
  void RowsAppended(int, int) override {}
  void CellChanged(int row, int) override {
    if (row == 0) Refresh();
  }

 private:
  void Refresh();

  FlexGrid& grid_;
  std::vector<TextBox*> boxes_;
};

}  // namespace trovel
