#include "qt/GridTableModel.h"

namespace trovel::qt {

namespace {

// FlexGrid alignment codes 0..8: left/centre/right by top/centre/bottom
// (0-2 left, 3-5 centre, 6-8 right); 9 is the general alignment.
Qt::Alignment ToQtAlignment(int code) {
  if (code >= 6 && code <= 8) return Qt::AlignRight | Qt::AlignVCenter;
  if (code >= 3 && code <= 5) return Qt::AlignHCenter | Qt::AlignVCenter;
  return Qt::AlignLeft | Qt::AlignVCenter;
}

}  // namespace

GridTableModel::GridTableModel(FlexGrid& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid), rows_(grid.Rows() - 1), cols_(grid.Cols()) {
  grid_.AddObserver(this);
}

GridTableModel::~GridTableModel() { grid_.RemoveObserver(this); }

int GridTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int GridTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : cols_; }

QVariant GridTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_ || index.column() >= cols_) return {};
  if (role == Qt::DisplayRole)
    return QString::fromStdString(grid_.TextMatrix(index.row() + 1, index.column()));
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(ToQtAlignment(grid_.ColAlignment(index.column())));
  return {};
}

QVariant GridTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section >= cols_ || role != Qt::DisplayRole) return {};
  return QString::fromStdString(grid_.TextMatrix(0, section)).trimmed();
}

void GridTableModel::GridReset() {
  beginResetModel();
  rows_ = grid_.Rows() - 1;
  cols_ = grid_.Cols();
  endResetModel();
}

void GridTableModel::RowsAppended(int first, int last) {
  beginInsertRows({}, first - 1, last - 1);
  rows_ = grid_.Rows() - 1;
  endInsertRows();
}

void GridTableModel::CellChanged(int row, int col) {
  if (row == 0) {
    emit headerDataChanged(Qt::Horizontal, col, col);
    return;
  }
  QModelIndex at = index(row - 1, col);
  emit dataChanged(at, at);
}

}  // namespace trovel::qt
