#include "designer/TaskMenu.h"

#include <QExtensionManager>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerFormWindowCursorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>

#include "designer/FormWrites.h"
#include "qtwidgets/ColumnsEditor.h"
#include "qtwidgets/PropertySheet.h"
#include "qtwidgets/Trovel2Widget.h"
#include "qtwidgets/TrovelWidget.h"

namespace trovel::designer {

TaskMenu::TaskMenu(QWidget* widget, QObject* parent) : QObject(parent), widget_(widget) {
  const bool fields = qobject_cast<qt::TrovelWidget*>(widget) != nullptr;
  action_ = new QAction(fields ? "Campos..." : "Columnas...", this);
  connect(action_, &QAction::triggered, this, [this, fields] { fields ? EditFields() : EditColumns(); });
}

void TaskMenu::SetInForm(const char* name, const QVariant& value) {
  if (!widget_) return;
  if (QDesignerFormWindowInterface* form = QDesignerFormWindowInterface::findFormWindow(widget_))
    form->cursor()->setWidgetProperty(widget_, name, value);
  else
    widget_->setProperty(name, value);
}

void TaskMenu::EditFields() {
  auto* widget = qobject_cast<qt::TrovelWidget*>(widget_);
  if (!widget) return;
  FormWrites target(*widget, [this](const char* name, const QVariant& value) { SetInForm(name, value); });
  qt::PropertySheet sheet(widget->host(), target, "ctlTrovel", widget->window());
  sheet.exec();
}

void TaskMenu::EditColumns() {
  auto* widget = qobject_cast<qt::Trovel2Widget*>(widget_);
  if (!widget) return;
  std::vector<ColumnDescription> columns;
  try {
    columns = ColumnDescription::Parse(widget->Columnas().toStdString());
  } catch (const std::exception&) {
    // The widget keeps only text that parses.
  }
  qt::ColumnsEditor editor(columns, widget->window());
  if (editor.exec() != QDialog::Accepted) return;
  SetInForm("Columnas", QString::fromStdString(ColumnDescription::Text(editor.Columns())));
}

void TaskMenuFactory::RegisterWith(QDesignerFormEditorInterface* core) {
  QExtensionManager* manager = core->extensionManager();
  manager->registerExtensions(new TaskMenuFactory(manager), Q_TYPEID(QDesignerTaskMenuExtension));
}

QObject* TaskMenuFactory::createExtension(QObject* object, const QString& iid, QObject* parent) const {
  if (iid != Q_TYPEID(QDesignerTaskMenuExtension)) return nullptr;
  if (qobject_cast<qt::TrovelWidget*>(object) || qobject_cast<qt::Trovel2Widget*>(object))
    return new TaskMenu(static_cast<QWidget*>(object), parent);
  return nullptr;
}

}  // namespace trovel::designer
