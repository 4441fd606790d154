// TaskMenu: the entries Qt Designer adds to the context menu of a control
// on a form: "Campos..." opens the property sheet of a ctlTrovel (the page
// pagTrovel), "Columnas..." the column editor of a ctlTrovel2. What they
// change goes into the form through Designer's form window cursor, as an
// edit in the property editor does: it is saved, and each "Aceptar" (or
// "Aplicar") is one step of the form's undo stack, made of the properties
// whose values changed only. A text property keeps what the form knows of
// it besides its text (untranslatable, as the control's data properties
// are from the start).
//
// TaskMenuFactory makes the menus; Designer owns both.
#pragma once

#include <QAction>
#include <QPointer>
#include <QUndoStack>
#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtDesigner/QExtensionFactory>

class QDesignerFormEditorInterface;

namespace trovel::designer {

class TaskMenu : public QObject, public QDesignerTaskMenuExtension {
  Q_OBJECT
  Q_INTERFACES(QDesignerTaskMenuExtension)

 public:
  // REQUIRES: `widget` is a TrovelWidget or a Trovel2Widget.
  TaskMenu(QWidget* widget, QObject* parent);

  QAction* preferredEditAction() const override { return action_; }
  QList<QAction*> taskActions() const override { return {action_}; }

 private:
  void EditFields();
  void EditColumns();
  // Sets the property as Designer's property editor would, unless it has
  // the value already; the first write of an edit opens its undo step.
  void SetInForm(const char* name, const QVariant& value);
  // Closes the undo step of the edit, when a write opened one.
  void EndEdit();

  QPointer<QWidget> widget_;
  QAction* action_;
  QPointer<QUndoStack> open_step_;  // the stack whose macro an edit opened
};

class TaskMenuFactory : public QExtensionFactory {
  Q_OBJECT

 public:
  // Makes Designer ask this factory for the task menus of the controls.
  static void RegisterWith(QDesignerFormEditorInterface* core);

  using QExtensionFactory::QExtensionFactory;

 protected:
  QObject* createExtension(QObject* object, const QString& iid, QObject* parent) const override;
};

}  // namespace trovel::designer
