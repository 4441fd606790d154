// ColumnsEditor: the design-time editor of ctlTrovel2's column descriptions
// ("Columnas"): one row per column with its key ("Clave", the grid column
// it fills), field, table, type (by its Spanish name), caption, length,
// format, visibility and collection key, rows added, removed and moved. A
// row added gets the key after the highest one. Accepting checks the list
// as a form load would, and that every key is there and none repeats, and
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
  void AddRow();
  void RemoveRow();
  void MoveRow(int by);

 private:
  void InsertRow(int row, const ColumnDescription& column);
  // Why the keys of `columns` would give the grid wrong columns, or "".
  static QString KeyProblem(const std::vector<ColumnDescription>& columns);

  QTableWidget* table_;
};

}  // namespace trovel::qt
