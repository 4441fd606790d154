// pagTrovel: the design-time property page of ctlTrovel, tab "Campos". It
// edits fourteen properties of the first selected control: the field names
// N_Campo1..8, the type codes TipoCampo1..4, FormatoFecha and SeparaFecha.
//
// The page reaches the control only through Dispatch, by property name, the
// values passing as text. It keeps no data of its own beyond its widgets;
// every edit of a widget sets the site's changed mark.
//
// Ownership: the page owns its widgets; the site and the selected controls
// belong to the property sheet. REQUIRES: the site outlives the page.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "platform/ComboBox.h"
#include "platform/Label.h"
#include "platform/PropertyPageSite.h"
#include "platform/TextBox.h"

namespace trovel {

class pagTrovel {
 public:
  explicit pagTrovel(PropertyPageSite& site);
  pagTrovel(const pagTrovel&) = delete;
  pagTrovel& operator=(const pagTrovel&) = delete;

  // Fills the widgets from the first selected control. Failures (no control
  // selected, a missing property) go to the caller; what was filled stays.
  void SelectionChanged();
  // Writes the widgets into the first selected control, through its own
  // property writes. Failures go to the caller; what was written stays.
  void ApplyChanges();

  // The tab's caption and the page's designed size in twips.
  static constexpr const char* kCaption = "Campos";
  static constexpr float kWidth = 4800;
  static constexpr float kHeight = 3600;

  // Every widget in tab order.
  std::vector<Widget*> Children();

  std::array<std::unique_ptr<Label>, 14> labels;  // Label1..Label14
  std::array<std::unique_ptr<ComboBox>, 4> cmbTipoCampo;  // cmbTipoCampo1..4
  std::array<std::unique_ptr<TextBox>, 8> txtN_campo;     // txtN_campo1..8
  TextBox txtFormatoFecha{"txtFormatoFecha"};
  TextBox txtSeparaFecha{"txtSeparaFecha"};

 private:
  Dispatch& FirstSelected() const;

  PropertyPageSite& site_;
};

}  // namespace trovel
