// CustomWidget: how Qt Designer sees one of the typed control widgets: its
// class, its name in the widget box (group "Trovel"), icon, header and the
// XML of a new instance. That XML gives each data property its value on a
// new control as an untranslatable text: Designer keeps a text property's
// translatability with its value, so that the form saves them all with
// notr="true" however they are edited later. The first one initialised
// registers the task menu of both controls with Designer.
#pragma once

#include <QStringList>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <functional>

namespace trovel::designer {

class CustomWidget : public QObject, public QDesignerCustomWidgetInterface {
  Q_OBJECT
  Q_INTERFACES(QDesignerCustomWidgetInterface)

 public:
  struct Kind {
    QString class_name;    // as .ui files name it
    QString display_name;  // as the widget box shows it
    QString header;        // as generated code includes it
    QString tool_tip;
    QString dom_extras;    // property specifications
    QStringList data;      // text properties holding data, never translated
    std::function<QWidget*(QWidget*)> create;
  };

  CustomWidget(Kind kind, QObject* parent) : QObject(parent), kind_(std::move(kind)) {}

  QString name() const override { return kind_.class_name; }
  QString group() const override { return "Trovel"; }
  QIcon icon() const override;
  QString toolTip() const override { return kind_.tool_tip; }
  QString whatsThis() const override { return kind_.tool_tip; }
  QString includeFile() const override { return kind_.header; }
  bool isContainer() const override { return false; }
  bool isInitialized() const override { return initialized_; }
  void initialize(QDesignerFormEditorInterface* core) override;
  QWidget* createWidget(QWidget* parent) override { return kind_.create(parent); }
  QString domXml() const override;

 private:
  Kind kind_;
  bool initialized_ = false;
};

}  // namespace trovel::designer
