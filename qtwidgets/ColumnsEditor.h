// ColumnsEditor: the design-time editor of ctlTrovel2's column descriptions
// ("Columnas"): one row per column with its key, field, table, type,
// caption, length, format, visibility and collection key, rows added,
// removed and moved. Accepting checks the list as a form load would and
// stays open, saying why, when it would be refused.
#pragma once

#include <QDialog>
#include <QTableWidget>
#include <vector>

#include "ctltrovel2/ColumnDescription.h"

namespace trovel::qt {

class ColumnsEditor : public QDialog {
  Q_OBJECT

 public:
  ColumnsEditor(const std::vector<ColumnDescription>& columns, QWidget* parent = nullptr);

  // The columns as the rows describe them now.
  std::vector<ColumnDescription> Columns() const;
  QTableWidget* table() const { return table_; }

  // Table columns, in order.
  enum Field { kKey, kField, kTable, kType, kCaption, kLength, kFormat, kVisible, kSKey, kFieldCount };

 public slots:
  void accept() override;
  void AddRow() { InsertRow(table_->rowCount(), ColumnDescription{}); }
  void RemoveRow();
  void MoveRow(int by);

 private:
  void InsertRow(int row, const ColumnDescription& column);

  QTableWidget* table_;
};

}  // namespace trovel::qt
