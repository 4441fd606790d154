// FormWindow: a form file shown in a Qt window with its controls, at run
// time (searches against the form's database, each selection and exit
// written into the window's log) or at design time (controls are selected,
// edited in a property list, the "Campos" sheet of a ctlTrovel and the
// column editor of a ctlTrovel2, resized with the mouse, and the form saved).
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
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

  // Opens `form`; throws Error when its controls cannot be created.
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
  // saves and run mode adds with Columns.Add.
  void OpenColumnsEditor();
  QPlainTextEdit* Log() const { return log_; }

 private:
  void Log(const QString& line);

  qt::QtHost& host_;
  forms::FormFile form_;
  Mode mode_;
  std::shared_ptr<DataConnection> connection_;
  std::vector<qt::ControlWidget*> controls_;
  std::vector<DesignFrame*> frames_;
  PropertyList* properties_ = nullptr;
  QPlainTextEdit* log_ = nullptr;
  int selected_ = -1;
};

}  // namespace trovel::desktop
