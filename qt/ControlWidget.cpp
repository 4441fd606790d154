#include "qt/ControlWidget.h"

#include "qt/Twips.h"

namespace trovel::qt {

ControlWidget::ControlWidget(QtHost& host, std::unique_ptr<Control> control, PropertyBag* bag, QWidget* parent)
    : ModelPanel(host, parent), control_(std::move(control)) {
  setObjectName(QString::fromStdString(control_->ClassName()));
  try {
    if (bag)
      control_->ReadProperties(*bag);
    else
      control_->InitProperties();
  } catch (const std::exception& failure) {
    load_error_ = QString::fromStdString(failure.what());
  }
  Mirror(control_->Children());
  const void* self = control_.get();
  connect(&host, &QtHost::eventRaised, this, [this, self](const void* control, const QString& name, const QStringList& args) {
    if (control == self) emit eventRaised(name, args);
  });
  connect(&host, &QtHost::propertyChanged, this, [this, self](const void* control, const QString& name) {
    if (control == self) emit propertyChanged(name);
  });
}

ControlWidget::~ControlWidget() {
  // Views refer to the control's children: they go first.
  ClearViews();
  try {
    control_->Terminate();
  } catch (const std::exception&) {
    // Nothing is left to report the end of the control to.
  }
}

QSize ControlWidget::sizeHint() const { return {ToPixels(5280, this), ToPixels(4905, this)}; }

void ControlWidget::resizeEvent(QResizeEvent* e) {
  ModelPanel::resizeEvent(e);
  host().SetInnerSize(control_.get(), ToTwips(width(), this), ToTwips(height(), this));
  host().Guarded(this, [this] { control_->Resize(); });
}

}  // namespace trovel::qt
