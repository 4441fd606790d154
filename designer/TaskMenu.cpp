#include "designer/TaskMenu.h"

#include <QExtensionManager>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerFormWindowCursorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>
#include <QtDesigner/QDesignerPropertySheetExtension>

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
  const QVariant before = widget_->property(name);
  if (before == value) return;
  QDesignerFormWindowInterface* form = QDesignerFormWindowInterface::findFormWindow(widget_);
  if (!form) {
    widget_->setProperty(name, value);
    return;
  }
  QVariant shown = value;
  auto* sheet = qt_extension<QDesignerPropertySheetExtension*>(form->core()->extensionManager(), widget_.data());
  const int index = sheet ? sheet->indexOf(QString::fromLatin1(name)) : -1;
  if (index >= 0 && value.typeId() == QMetaType::QString) {
    // The sheet reads a text back from the widget inside the value it keeps
    // for the property, with the rest of what it knows of it (whether it is
    // translatable): handing Designer that value keeps it. A bare QString
    // would make the text translatable again.
    widget_->setProperty(name, value);
    shown = sheet->property(index);
    widget_->setProperty(name, before);
    sheet->property(index);  // the sheet's copy follows the widget back
  }
  if (!open_step_) {
    open_step_ = form->commandHistory();
    open_step_->beginMacro(action_->text().remove("...") + " de " + widget_->objectName());
  }
  form->cursor()->setWidgetProperty(widget_, name, shown);
}

void TaskMenu::EndEdit() {
  if (open_step_) open_step_->endMacro();
  open_step_ = nullptr;
}

void TaskMenu::EditFields() {
  auto* widget = qobject_cast<qt::TrovelWidget*>(widget_);
  if (!widget) return;
  FormWrites target(*widget, [this](const char* name, const QVariant& value) { SetInForm(name, value); });
  qt::PropertySheet sheet(widget->host(), target, "ctlTrovel", widget->window());
  // Each apply, "Aceptar" included, is one step.
  sheet.onApplied = [this] { EndEdit(); };
  sheet.exec();
  EndEdit();
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
  EndEdit();
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
