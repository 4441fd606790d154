// DescribedControl: a Control whose Dispatch side is a MemberTable. A
// control fills members_ in its constructor, in interface order, and the
// late-bound calls are answered from it.
#pragma once

#include "platform/Control.h"
#include "platform/MemberTable.h"

namespace trovel {

class DescribedControl : public Control {
 public:
  const std::vector<MemberInfo>& Members() const override { return members_.Members(); }
  const std::vector<MemberInfo>& Events() const override { return members_.Events(); }
  Variant GetProperty(const std::string& name) override { return members_.Get(name); }
  void SetProperty(const std::string& name, const Variant& v) override { members_.Set(name, v); }
  ObjectRef GetObject(const std::string& name) override { return members_.GetObject(name); }
  void SetObject(const std::string& name, ObjectRef v) override { members_.SetObject(name, std::move(v)); }
  Variant Invoke(const std::string& name, const std::vector<Variant>& args = {}) override {
    return members_.Invoke(name, args);
  }

 protected:
  MemberTable members_;
};

}  // namespace trovel
