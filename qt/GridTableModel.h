// GridTableModel: a Qt table model that reads a FlexGrid model's cells in
// place (no per-cell items), so that a grid of any size scrolls at the cost
// of the rows on screen. Row 0 of the grid, its header, is the table's
// horizontal header; grid row r is table row r - 1.
#pragma once

#include <QAbstractTableModel>

#include "platform/FlexGrid.h"

namespace trovel::qt {

class GridTableModel : public QAbstractTableModel, public FlexGrid::Observer {
 public:
  // REQUIRES: `grid` outlives the model.
  explicit GridTableModel(FlexGrid& grid, QObject* parent = nullptr);
  ~GridTableModel() override;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  void GridReset() override;
  void RowsAppended(int first, int last) override;
  void CellChanged(int row, int col) override;

 private:
  FlexGrid& grid_;
  int rows_;  // the row count the view knows, changed only inside begin/end
  int cols_;
};

}  // namespace trovel::qt
