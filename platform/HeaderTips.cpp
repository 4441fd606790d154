#include "platform/HeaderTips.h"

namespace trovel {

HeaderTips::HeaderTips(FlexGrid& grid, std::vector<TextBox*> boxes) : grid_(grid), boxes_(std::move(boxes)) {
  grid_.AddObserver(this);
  Refresh();
}

HeaderTips::~HeaderTips() { grid_.RemoveObserver(this); }

std::string HeaderTips::Caption(const FlexGrid& grid, int col) {
  std::string caption;
  if (grid.Rows() > 0 && col >= 0 && col < grid.Cols()) caption = grid.TextMatrix(0, col);
  const size_t first = caption.find_first_not_of(' ');
  if (first == std::string::npos) return "Columna " + std::to_string(col + 1);
  return caption.substr(first, caption.find_last_not_of(' ') - first + 1);
}

void HeaderTips::Refresh() {
  for (size_t i = 0; i < boxes_.size(); ++i) boxes_[i]->SetToolTipText(Caption(grid_, static_cast<int>(i)));
}

}  // namespace trovel
