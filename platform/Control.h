// Control: what a form host needs of an embeddable control: its lifecycle
// handlers, its child widgets and late-bound access to its public members.
//
// Lifecycle, as the host drives it: construction (creation), then either
// InitProperties (a control newly placed on a form) or ReadProperties (every
// later opening), any number of WriteProperties and Resize calls, and finally
// Terminate before destruction. The host sizes the control (Host::ScaleWidth
// and ScaleHeight) before calling Resize.
//
// Ownership: the control owns its child widgets; Children() lends them.
#pragma once

#include <string>
#include <vector>

#include "platform/Dispatch.h"
#include "platform/PropertyBag.h"

namespace trovel {

class Widget;

class Control : public Dispatch {
 public:
  // The control's class name, as forms record it ("ctlTrovel").
  virtual std::string ClassName() const = 0;

  virtual void InitProperties() = 0;
  virtual void ReadProperties(PropertyBag& bag) = 0;
  virtual void WriteProperties(PropertyBag& bag) = 0;
  virtual void Resize() = 0;
  virtual void Terminate() = 0;

  // The events the control raises through Host::RaiseEvent, in order.
  virtual const std::vector<MemberInfo>& Events() const = 0;

  // The child widgets in creation order; they live as long as the control.
  virtual std::vector<Widget*> Children() = 0;
  // The child called `name`, or null.
  Widget* FindChild(const std::string& name);
};

}  // namespace trovel
