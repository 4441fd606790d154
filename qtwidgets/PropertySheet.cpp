#include "qtwidgets/PropertySheet.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QMessageBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "qt/Twips.h"
#include "search/SearchAsYouType.h"

namespace trovel::qt {

PropertySheet::PropertySheet(QtHost& host, Control& control, QWidget* parent)
    : PropertySheet(host, control, QString::fromStdString(control.ClassName()), parent) {}

PropertySheet::PropertySheet(QtHost& host, Dispatch& target, const QString& class_name, QWidget* parent)
    : QDialog(parent), host_(host), target_(target) {
  setWindowTitle(class_name + " - Páginas de propiedades");
  PropertyPageSite& site = *this;
  page_ = std::make_unique<pagTrovel>(site);
  auto* tabs = new QTabWidget(this);
  panel_ = new ModelPanel(host, tabs);
  panel_->setMinimumSize(ToPixels(pagTrovel::kWidth, this), ToPixels(pagTrovel::kHeight, this));
  for (Widget* w : page_->Children()) host_.RegisterWidget(page_.get(), w);
  panel_->Mirror(page_->Children());
  tabs->addTab(panel_, pagTrovel::kCaption);
  tabs->addTab(SearchTab(), "Búsqueda");

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
  buttons->button(QDialogButtonBox::Ok)->setText("Aceptar");
  buttons->button(QDialogButtonBox::Cancel)->setText("Cancelar");
  apply_ = buttons->button(QDialogButtonBox::Apply);
  apply_->setText("&Aplicar");
  connect(apply_, &QPushButton::clicked, this, [this] { Apply(); });
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    Apply();
    accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs);
  layout->addWidget(buttons);

  page_->SelectionChanged();
  buscar_->setChecked(target_.GetProperty("BuscarAlEscribir").ToBoolean());
  pausa_->setValue(target_.GetProperty("PausaBusqueda").ToLong());
  // Filling the tabs is no edit of the developer's.
  SetChanged(false);
}

PropertySheet::~PropertySheet() {
  panel_->ClearViews();
  for (Widget* w : page_->Children()) host_.UnregisterWidget(w);
}

QWidget* PropertySheet::SearchTab() {
  auto* tab = new QWidget;
  buscar_ = new QCheckBox("&Buscar al escribir", tab);
  buscar_->setObjectName("chkBuscarAlEscribir");
  pausa_ = new QSpinBox(tab);
  pausa_->setObjectName("spnPausaBusqueda");
  pausa_->setRange(0, SearchAsYouType::kLongestPause);  // what the control takes
  pausa_->setSingleStep(50);
  connect(buscar_, &QCheckBox::toggled, this, [this] { SetChanged(true); });
  connect(pausa_, &QSpinBox::valueChanged, this, [this] { SetChanged(true); });
  auto* form = new QFormLayout(tab);
  form->addRow(buscar_);
  form->addRow("&Pausa (ms)", pausa_);
  return tab;
}

void PropertySheet::SetChanged(bool changed) {
  changed_ = changed;
  apply_->setEnabled(changed);
}

void PropertySheet::Apply() {
  if (!changed_) return;
  try {
    page_->ApplyChanges();
    target_.SetProperty("BuscarAlEscribir", Variant(buscar_->isChecked()));
    target_.SetProperty("PausaBusqueda", Variant(static_cast<int32_t>(pausa_->value())));
  } catch (const std::exception& failure) {
    QMessageBox::warning(this, windowTitle(), QString::fromStdString(failure.what()));
  }
  SetChanged(false);
  if (onApplied) onApplied();
}

}  // namespace trovel::qt
