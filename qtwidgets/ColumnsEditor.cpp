#include "qtwidgets/ColumnsEditor.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace trovel::qt {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

ColumnsEditor::ColumnsEditor(const std::vector<ColumnDescription>& columns, QWidget* parent) : QDialog(parent) {
  setWindowTitle("Columnas");
  table_ = new QTableWidget(0, kFieldCount, this);
  table_->setObjectName("columnas");
  table_->setHorizontalHeaderLabels(
      {"Clave", "Campo", "Tabla", "Tipo", "Título", "Longitud", "Formato", "Visible", "Nombre en Columns"});
  table_->horizontalHeaderItem(kKey)->setToolTip("La columna de la cuadrícula que describe: 0 la primera, 1 la segunda...");
  table_->horizontalHeaderItem(kSKey)->setToolTip(
      "Con qué nombre se busca la columna en Columns; vacío: por su campo");
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  for (const ColumnDescription& c : columns) InsertRow(table_->rowCount(), c);

  auto* row_buttons = new QDialogButtonBox(Qt::Vertical, this);
  auto add = [&](const QString& text, auto slot) {
    connect(row_buttons->addButton(text, QDialogButtonBox::ActionRole), &QPushButton::clicked, this, slot);
  };
  add("&Agregar", [this] { AddRow(); });
  add("&Quitar", [this] { RemoveRow(); });
  add("&Subir", [this] { MoveRow(-1); });
  add("&Bajar", [this] { MoveRow(1); });
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText("Aceptar");
  buttons->button(QDialogButtonBox::Cancel)->setText("Cancelar");
  connect(buttons, &QDialogButtonBox::accepted, this, &ColumnsEditor::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* body = new QHBoxLayout;
  body->addWidget(table_);
  body->addWidget(row_buttons);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body);
  layout->addWidget(buttons);
  resize(820, 320);
}

void ColumnsEditor::InsertRow(int row, const ColumnDescription& c) {
  table_->insertRow(row);
  const std::pair<Field, const std::string*> texts[] = {{kKey, &c.key},         {kField, &c.field},
                                                        {kTable, &c.table},     {kCaption, &c.caption},
                                                        {kFormat, &c.format},   {kSKey, &c.skey}};
  for (const auto& [field, text] : texts) table_->setItem(row, field, new QTableWidgetItem(Q(*text)));
  auto* type = new QComboBox;
  type->addItems({"Texto", "Número", "Fecha"});  // in TIPOC order
  type->setCurrentIndex(c.type);
  table_->setCellWidget(row, kType, type);
  auto* length = new QSpinBox;
  length->setRange(INT16_MIN, INT16_MAX);
  length->setValue(c.length);
  table_->setCellWidget(row, kLength, length);
  auto* visible = new QTableWidgetItem;
  visible->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  visible->setCheckState(c.visible ? Qt::Checked : Qt::Unchecked);
  table_->setItem(row, kVisible, visible);
}

std::vector<ColumnDescription> ColumnsEditor::Columns() const {
  std::vector<ColumnDescription> out;
  for (int row = 0; row < table_->rowCount(); ++row) {
    auto text = [&](int field) { return table_->item(row, field) ? table_->item(row, field)->text().toStdString() : ""; };
    ColumnDescription c;
    c.key = text(kKey);
    c.field = text(kField);
    c.table = text(kTable);
    c.type = static_cast<TIPOC>(qobject_cast<QComboBox*>(table_->cellWidget(row, kType))->currentIndex());
    c.caption = text(kCaption);
    c.length = static_cast<int16_t>(qobject_cast<QSpinBox*>(table_->cellWidget(row, kLength))->value());
    c.format = text(kFormat);
    c.visible = table_->item(row, kVisible)->checkState() == Qt::Checked;
    c.skey = text(kSKey);
    out.push_back(std::move(c));
  }
  return out;
}

void ColumnsEditor::AddRow() {
  // The next grid column: one past the highest key that is a number.
  int next = 0;
  for (int row = 0; row < table_->rowCount(); ++row) {
    bool number = false;
    const int key = table_->item(row, kKey) ? table_->item(row, kKey)->text().trimmed().toInt(&number) : 0;
    if (number && key >= next) next = key + 1;
  }
  ColumnDescription column;
  column.key = std::to_string(next);
  InsertRow(table_->rowCount(), column);
  table_->setCurrentCell(table_->rowCount() - 1, kField);
}

QString ColumnsEditor::KeyProblem(const std::vector<ColumnDescription>& columns) {
  // Each key names the grid column its description fills: an empty one
  // would fill the first, a repeated one the same column twice.
  for (size_t i = 0; i < columns.size(); ++i) {
    const QString key = Q(columns[i].key).trimmed();
    if (key.isEmpty()) return QString("La columna %1 está sin clave.").arg(i + 1);
    for (size_t j = 0; j < i; ++j)
      if (Q(columns[j].key).trimmed() == key)
        return QString("La clave %1 está repetida: columnas %2 y %3.").arg(key).arg(j + 1).arg(i + 1);
  }
  return {};
}

void ColumnsEditor::accept() {
  const std::vector<ColumnDescription> columns = Columns();
  QString refusal = KeyProblem(columns);
  if (refusal.isEmpty()) {
    try {
      ColumnDescription::FromJson(ColumnDescription::ToJson(columns));
    } catch (const std::exception& failure) {
      refusal = QString::fromStdString(failure.what());
    }
  }
  if (!refusal.isEmpty()) {
    QMessageBox::warning(this, windowTitle(), refusal);
    return;
  }
  QDialog::accept();
}

void ColumnsEditor::RemoveRow() {
  const int row = table_->currentRow();
  if (row >= 0) table_->removeRow(row);
}

void ColumnsEditor::MoveRow(int by) {
  const int row = table_->currentRow();
  const int to = row + by;
  if (row < 0 || to < 0 || to >= table_->rowCount()) return;
  const std::vector<ColumnDescription> columns = Columns();
  table_->removeRow(row);
  InsertRow(to, columns[static_cast<size_t>(row)]);
  table_->setCurrentCell(to, table_->currentColumn() < 0 ? 0 : table_->currentColumn());
}

}  // namespace trovel::qt
