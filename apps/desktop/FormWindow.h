// FormWindow: a form file shown in a Qt window with its controls, at run
// time (searches against the form's database, each selection and exit
// written into the window's log, and with "Ver SQL" each statement sent to
// the database) or at design time (controls are selected, edited in a
// property list, the "Campos" sheet of a ctlTrovel and the column editor of
// a ctlTrovel2, resized with the mouse, and the form saved).
//
// At run time the controls share the window's width, in the proportions of
// their saved widths, and its height; each keeps the least size that shows
// its row of buttons whole. The form opens with the focus in its first
// control. At design time the title marks unsaved changes ("[*]"), and
// closing the window or opening another form asks whether to save them.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QStringList>
#include <memory>
#include <vector>

#include "apps/forms/FormFile.h"
#include "contracts/DataConnection.h"
#include "qt/ControlWidget.h"
#include "qt/QtHost.h"

namespace trovel::desktop {

class PropertyList;
class DesignFrame;

class FormWindow : public QMainWindow {
  Q_OBJECT

 public:
  enum class Mode { Run, Design };

  // Opens `form`. What does not load (the database, a control's saved
  // properties, a key no control has) is logged and kept in LoadFailures;
  // the window opens with the rest.
  FormWindow(qt::QtHost& host, forms::FormFile form, Mode mode);
  ~FormWindow() override;

  // The control widgets, in form order.
  const std::vector<qt::ControlWidget*>& Controls() const { return controls_; }
  // Saves every control's bag and size into the form file it came from.
  void SaveForm();
  // Design mode: makes `index` the selected control.
  void Select(int index);
  int Selected() const { return selected_; }
  void OpenPropertySheet();
  // Edits the column descriptions of the selected ctlTrovel2, which the form
  // saves and run mode adds with Columns.Add. At design time too the control
  // shows them, as it will at run time, from the opening of the form on.
  void OpenColumnsEditor();
  QPlainTextEdit* Log() const { return log_; }
  // What did not load when the window opened, each naming its control.
  const QStringList& LoadFailures() const { return load_failures_; }
  // Shows LoadFailures in a message box naming the form file; nothing when
  // everything loaded.
  void ShowLoadFailures();
  // Run mode: whether the log shows each statement sent to the database.
  QCheckBox* VerSql() const { return ver_sql_; }
  // Design mode: asks "¿Guardar los cambios?" when there are unsaved changes
  // and saves when told to; false when the user cancels or the save failed.
  bool ConfirmClose();
  // Design mode: opens the form file at `path` in a new window and closes
  // this one, after ConfirmClose.
  void OpenForm(const QString& path);

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void Log(const QString& line);
  void LoadFailed(const QString& what);
  void MarkChanged() { setWindowModified(true); }
  // Design mode: the ctlTrovel2 at `index` shows the columns its form entry
  // describes, in place of those it showed.
  void ShowColumns(size_t index);

  qt::QtHost& host_;
  forms::FormFile form_;
  Mode mode_;
  std::shared_ptr<DataConnection> connection_;
  std::vector<qt::ControlWidget*> controls_;
  std::vector<DesignFrame*> frames_;
  PropertyList* properties_ = nullptr;
  QPlainTextEdit* log_ = nullptr;
  QCheckBox* ver_sql_ = nullptr;
  QStringList load_failures_;
  bool confirmed_ = false;  // the user already answered for this window
  int selected_ = -1;
};

}  // namespace trovel::desktop
