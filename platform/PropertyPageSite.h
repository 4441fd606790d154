// PropertyPageSite: what a design-time property page asks of the property
// sheet that shows it: the controls selected on the form, and the page's
// changed mark, which enables the sheet's apply action.
//
// The selected controls are owned by the form; the list is valid until the
// selection changes, when the sheet calls the page's SelectionChanged again.
#pragma once

#include <vector>

#include "platform/Dispatch.h"

namespace trovel {

class PropertyPageSite {
 public:
  PropertyPageSite() = default;
  PropertyPageSite(const PropertyPageSite&) = delete;
  PropertyPageSite& operator=(const PropertyPageSite&) = delete;
  virtual ~PropertyPageSite() = default;

  virtual std::vector<Dispatch*> SelectedControls() const = 0;
  virtual bool Changed() const = 0;
  virtual void SetChanged(bool changed) = 0;
};

}  // namespace trovel
