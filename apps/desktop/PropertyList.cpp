#include "apps/desktop/PropertyList.h"

#include <QComboBox>
#include <QHeaderView>
#include <QMessageBox>
#include <QVBoxLayout>

namespace trovel::desktop {

PropertyList::PropertyList(QWidget* parent) : QWidget(parent), table_(new QTableWidget(this)), help_(new QLabel(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(table_, 1);
  layout->addWidget(help_);
  table_->setColumnCount(2);
  table_->setHorizontalHeaderLabels({"Propiedad", "Valor"});
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->verticalHeader()->hide();
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  help_->setWordWrap(true);
  help_->setMinimumHeight(48);
  help_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  connect(table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) { Edited(item); });
  connect(table_, &QTableWidget::currentCellChanged, this, [this](int row) {
    QTableWidgetItem* name = row >= 0 ? table_->item(row, 0) : nullptr;
    help_->setText(name ? name->toolTip() : QString());
  });
}

void PropertyList::Show(Control* control) {
  control_ = control;
  filling_ = true;
  table_->setRowCount(0);
  if (control_) {
    for (const MemberInfo& m : control_->Members()) {
      if (m.kind != MemberInfo::Kind::Property) continue;
      const int row = table_->rowCount();
      table_->insertRow(row);
      auto* name = new QTableWidgetItem(QString::fromStdString(m.name));
      name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      name->setToolTip(QString::fromStdString(m.help));
      table_->setItem(row, 0, name);
      auto* value = new QTableWidgetItem;
      const bool choice = m.type == MemberInfo::Type::Boolean && m.write == MemberInfo::Write::ByValue;
      if (m.write != MemberInfo::Write::ByValue || choice) value->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      table_->setItem(row, 1, value);
      if (choice) {
        auto* list = new QComboBox;
        list->addItems({"True", "False"});
        const std::string property = m.name;
        connect(list, &QComboBox::activated, this, [this, property](int index) { Write(property, Variant(index == 0)); });
        table_->setCellWidget(row, 1, list);
      }
    }
  }
  filling_ = false;
  Refresh();
}

void PropertyList::Refresh() {
  if (!control_) return;
  filling_ = true;
  for (int row = 0; row < table_->rowCount(); ++row) {
    const std::string name = table_->item(row, 0)->text().toStdString();
    const MemberInfo* m = control_->FindMember(name);
    QString text;
    try {
      if (m && m->write == MemberInfo::Write::ByReference)
        text = control_->GetObject(name) ? "(objeto)" : "(ninguno)";
      else
        text = QString::fromStdString(control_->GetProperty(name).ToString());
    } catch (const std::exception& failure) {
      text = QString("(%1)").arg(QString::fromStdString(failure.what()));
    }
    table_->item(row, 1)->setText(text);
    if (auto* list = qobject_cast<QComboBox*>(table_->cellWidget(row, 1))) list->setCurrentIndex(list->findText(text));
  }
  filling_ = false;
}

void PropertyList::Edited(QTableWidgetItem* item) {
  if (filling_ || !control_ || item->column() != 1) return;
  Write(table_->item(item->row(), 0)->text().toStdString(), Variant(item->text().toStdString()));
}

void PropertyList::Write(const std::string& name, const Variant& value) {
  try {
    control_->SetProperty(name, value);
  } catch (const std::exception& failure) {
    QMessageBox::warning(this, "Propiedades", QString::fromStdString(failure.what()));
  }
  Refresh();
}

}  // namespace trovel::desktop
