// SimplePropertyPageSite: a site that holds its selection and mark in memory: for tests and for
// hosts that keep the sheet's state themselves.
#pragma once

#include "platform/PropertyPageSite.h"

namespace trovel {

class SimplePropertyPageSite : public PropertyPageSite {
 public:
  std::vector<Dispatch*> SelectedControls() const override { return selected; }
  bool Changed() const override { return changed_; }
  void SetChanged(bool changed) override { changed_ = changed; }

  std::vector<Dispatch*> selected;

 private:
  bool changed_ = false;
};

}  // namespace trovel
