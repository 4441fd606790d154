// Dispatch: late-bound access to an object's public members by name, for
// property lists, property pages and scripted hosts.
//
// Values pass as Variants and are converted to the member's type on the way
// in, with the ordinary conversion errors (type mismatch, overflow). Object
// properties pass as shared references. An unknown name, or a call that does
// not fit the member's kind, fails with Error::NoSuchMember.
#pragma once

#include <string>
#include <vector>

#include "platform/MemberInfo.h"
#include "platform/RefObject.h"
#include "platform/Variant.h"

namespace trovel {

class Dispatch {
 public:
  Dispatch() = default;
  Dispatch(const Dispatch&) = delete;
  Dispatch& operator=(const Dispatch&) = delete;
  virtual ~Dispatch() = default;

  // The public members in interface order. Owned by the object.
  virtual const std::vector<MemberInfo>& Members() const = 0;
  // Reads or writes a value property (Write::ByValue or ReadOnly for reads).
  virtual Variant GetProperty(const std::string& name) = 0;
  virtual void SetProperty(const std::string& name, const Variant& value) = 0;
  // Reads or writes an object property (Write::ByReference).
  virtual ObjectRef GetObject(const std::string& name) = 0;
  virtual void SetObject(const std::string& name, ObjectRef value) = 0;
  // Calls a method or function; `args` are its arguments in order.
  virtual Variant Invoke(const std::string& name, const std::vector<Variant>& args = {}) = 0;

  // The description of `name`, or null when there is none.
  const MemberInfo* FindMember(const std::string& name) const {
    for (const MemberInfo& m : Members())
      if (m.name == name) return &m;
    return nullptr;
  }
};

}  // namespace trovel
