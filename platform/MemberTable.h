// MemberTable: a ready-made Dispatch implementation for a class that lists
// its members with accessor functions. The owner builds the table in its
// constructor with lambdas that capture it; the table then answers every
// Dispatch call by name.
#pragma once

#include <functional>
#include <map>

#include "platform/Dispatch.h"

namespace trovel {

class MemberTable {
 public:
  using Getter = std::function<Variant()>;
  using Setter = std::function<void(const Variant&)>;
  using ObjectGetter = std::function<ObjectRef()>;
  using ObjectSetter = std::function<void(ObjectRef)>;
  using Method = std::function<Variant(const std::vector<Variant>&)>;

  // Appends members in interface order.
  void AddProperty(MemberInfo info, Getter get, Setter set);
  void AddObjectProperty(MemberInfo info, ObjectGetter get, ObjectSetter set);
  void AddMethod(MemberInfo info, Method call);
  // Events are described apart from the members, in their own order.
  void AddEvent(MemberInfo info);

  const std::vector<MemberInfo>& Members() const { return members_; }
  const std::vector<MemberInfo>& Events() const { return events_; }
  Variant Get(const std::string& name) const;
  void Set(const std::string& name, const Variant& value) const;
  ObjectRef GetObject(const std::string& name) const;
  void SetObject(const std::string& name, ObjectRef value) const;
  Variant Invoke(const std::string& name, const std::vector<Variant>& args) const;

 private:
  struct Entry {
    Getter get;
    Setter set;
    ObjectGetter get_object;
    ObjectSetter set_object;
    Method call;
  };
  const Entry& Find(const std::string& name) const;

  std::vector<MemberInfo> members_;
  std::vector<MemberInfo> events_;
  std::map<std::string, Entry> entries_;
};

}  // namespace trovel
