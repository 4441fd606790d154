#include "designer/CustomWidget.h"

#include <QExtensionManager>
#include <QPainter>
#include <QWidget>
#include <memory>
#include <QtDesigner/QDesignerFormEditorInterface>

#include "designer/TaskMenu.h"

namespace trovel::designer {

QIcon CustomWidget::icon() const {
  // A grid under a magnifying glass, drawn so that no image file has to
  // travel with the plugin.
  QPixmap picture(32, 32);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(70, 70, 70), 1));
  p.setBrush(Qt::white);
  p.drawRect(1, 5, 24, 22);
  p.fillRect(2, 6, 23, 5, QColor(120, 150, 200));
  for (int y = 16; y < 27; y += 5) p.drawLine(1, y, 25, y);
  p.drawLine(10, 5, 10, 27);
  p.setPen(QPen(QColor(30, 30, 30), 3));
  p.setBrush(QColor(255, 255, 255, 170));
  p.drawEllipse(QPointF(21, 13), 7, 7);
  p.drawLine(QPointF(26, 18), QPointF(31, 23));
  return QIcon(picture);
}

void CustomWidget::initialize(QDesignerFormEditorInterface* core) {
  if (initialized_) return;
  initialized_ = true;
  TaskMenuFactory::RegisterWith(core);
}

QString CustomWidget::domXml() const {
  const QString object = kind_.display_name.at(0).toLower() + kind_.display_name.mid(1) + "1";
  QString data;
  if (!kind_.data.isEmpty()) {
    const std::unique_ptr<QWidget> fresh(kind_.create(nullptr));
    for (const QString& name : kind_.data)
      data += QString("  <property name=\"%1\"><string notr=\"true\">%2</string></property>\n")
                  .arg(name, fresh->property(name.toUtf8()).toString().toHtmlEscaped());
  }
  return QString(R"(<ui language="c++" displayname="%1">
 <widget class="%2" name="%3">
  <property name="geometry"><rect><x>0</x><y>0</y><width>352</width><height>327</height></rect></property>
%5 </widget>
 <customwidgets>
  <customwidget>
   <class>%2</class>
   <propertyspecifications>
%4   </propertyspecifications>
  </customwidget>
 </customwidgets>
</ui>
)")
      .arg(kind_.display_name, kind_.class_name, object, kind_.dom_extras, data);
}

}  // namespace trovel::designer
