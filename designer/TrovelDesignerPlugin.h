// TrovelDesignerPlugin: the Qt Designer plugin of the search controls: the
// collection of ctlTrovel (TrovelWidget) and ctlTrovel2 (Trovel2Widget),
// shown in the widget box under "Trovel".
#pragma once

#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>

namespace trovel::designer {

class TrovelDesignerPlugin : public QObject, public QDesignerCustomWidgetCollectionInterface {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface")
  Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)

 public:
  explicit TrovelDesignerPlugin(QObject* parent = nullptr);

  QList<QDesignerCustomWidgetInterface*> customWidgets() const override { return widgets_; }

 private:
  QList<QDesignerCustomWidgetInterface*> widgets_;
};

}  // namespace trovel::designer
