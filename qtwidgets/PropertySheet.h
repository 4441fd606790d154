// PropertySheet: the design-time property sheet of a ctlTrovel, with the tab
// "Campos" hosting pagTrovel and the tab "Búsqueda" for the search as the
// user types (BuscarAlEscribir, PausaBusqueda). "Aplicar" is enabled by an
// edit on either tab; applying, or accepting the sheet, writes both tabs
// into the control and clears the mark.
//
// The page reads and writes the control by property name, so the sheet can
// be given any Dispatch that stands for it: a form editor hands one whose
// writes go through its own undoable commands.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QPushButton>
#include <QSpinBox>
#include <functional>
#include <memory>

#include "platform/Control.h"
#include "platform/PropertyPageSite.h"
#include "proppage/pagTrovel.h"
#include "qt/ModelPanel.h"
#include "qt/QtHost.h"

namespace trovel::qt {

class PropertySheet : public QDialog, private PropertyPageSite {
  Q_OBJECT

 public:
  // The sheet of `control`. REQUIRES: `host` and `control` outlive the sheet.
  PropertySheet(QtHost& host, Control& control, QWidget* parent);
  // The sheet of what `target` stands for, a control of class `class_name`.
  // REQUIRES: `host` and `target` outlive the sheet.
  PropertySheet(QtHost& host, Dispatch& target, const QString& class_name, QWidget* parent);
  ~PropertySheet() override;

  QPushButton* applyButton() const { return apply_; }
  pagTrovel& page() { return *page_; }
  // Called after every apply, so that views of the control can refresh.
  std::function<void()> onApplied;

 private:
  // PropertyPageSite.
  std::vector<Dispatch*> SelectedControls() const override { return {&target_}; }
  bool Changed() const override { return changed_; }
  void SetChanged(bool changed) override;

  QWidget* SearchTab();
  void Apply();

  QtHost& host_;
  Dispatch& target_;
  std::unique_ptr<pagTrovel> page_;
  ModelPanel* panel_;
  QPushButton* apply_;
  QCheckBox* buscar_ = nullptr;
  QSpinBox* pausa_ = nullptr;
  bool changed_ = false;
};

}  // namespace trovel::qt
