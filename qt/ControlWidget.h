// ControlWidget: a QWidget that embeds one control in a Qt form. It runs
// the control's lifecycle (new or loaded from a property bag, resize on
// every size change, Terminate at the end), mirrors its children and
// passes its events and property notices on as Qt signals.
//
// Ownership: the widget owns the control; the host must outlive both.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "platform/Control.h"
#include "platform/PropertyBag.h"
#include "qt/ModelPanel.h"

namespace trovel::qt {

class ControlWidget : public ModelPanel {
  Q_OBJECT

 public:
  // Starts `control` new (InitProperties) when `bag` is null, otherwise
  // loads it from `bag`; a load failure is kept in loadError() and the
  // control keeps what it did load.
  ControlWidget(QtHost& host, std::unique_ptr<Control> control, PropertyBag* bag = nullptr,
                QWidget* parent = nullptr);
  ~ControlWidget() override;

  Control& control() const { return *control_; }
  const QString& loadError() const { return load_error_; }
  // The control's designed size, 5280 x 4905 twips, in pixels.
  QSize sizeHint() const override;

 signals:
  void eventRaised(const QString& name, const QStringList& args);
  void propertyChanged(const QString& name);

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  std::unique_ptr<Control> control_;
  QString load_error_;
};

}  // namespace trovel::qt
