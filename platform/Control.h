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
//
// Events run the form's code inside the control's handler, and that code
// may destroy the control (a form closing itself on "Salir"): handlers
// raise events through RaiseToForm, as the last thing they do.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Dispatch.h"
#include "platform/PropertyBag.h"

namespace trovel {

class Host;
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

 protected:
  // Raises the event `name`: first to `form_handler`, the form's own
  // connection to it (may be empty), then to `host` with `args`. Either may
  // destroy the control; nothing of it is touched after they return, and
  // the host does not hear of an event whose form handler destroyed it.
  // REQUIRES: `host`, `name` and `args` are not parts of the control (its
  // destruction must leave them), and the caller touches the control no
  // more after the call.
  void RaiseToForm(Host& host, const std::function<void()>& form_handler, const std::string& name,
                   const std::vector<Variant*>& args);

 private:
  // Expires when the control is destroyed.
  std::shared_ptr<int> alive_ = std::make_shared<int>();
};

}  // namespace trovel
