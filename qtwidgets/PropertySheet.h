// PropertySheet: the design-time property sheet of a ctlTrovel, with the tab
// "Campos" hosting pagTrovel. "Aplicar" is enabled by the page's changed
// mark; applying, or accepting the sheet, writes the page into the control
// and clears the mark.
#pragma once

#include <QDialog>
#include <QPushButton>
#include <functional>
#include <memory>

#include "platform/Control.h"
#include "platform/PropertyPageSite.h"
#include "proppage/pagTrovel.h"
#include "qt/ModelPanel.h"
#include "qt/QtHost.h"

namespace trovel::desktop {

class PropertySheet : public QDialog, private PropertyPageSite {
  Q_OBJECT

 public:
  // REQUIRES: `host` and `control` outlive the sheet.
  PropertySheet(qt::QtHost& host, Control& control, QWidget* parent);
  ~PropertySheet() override;

  QPushButton* applyButton() const { return apply_; }
  pagTrovel& page() { return *page_; }
  // Called after every apply, so that views of the control can refresh.
  std::function<void()> onApplied;

 private:
  // PropertyPageSite.
  std::vector<Dispatch*> SelectedControls() const override { return {&control_}; }
  bool Changed() const override { return changed_; }
  void SetChanged(bool changed) override;

  void Apply();

  qt::QtHost& host_;
  Control& control_;
  std::unique_ptr<pagTrovel> page_;
  qt::ModelPanel* panel_;
  QPushButton* apply_;
  bool changed_ = false;
};

}  // namespace trovel::desktop
