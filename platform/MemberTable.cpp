#include "platform/MemberTable.h"

#include "platform/Error.h"

namespace trovel {

void MemberTable::AddProperty(MemberInfo info, Getter get, Setter set) {
  entries_[info.name] = Entry{std::move(get), std::move(set), {}, {}, {}};
  members_.push_back(std::move(info));
}

void MemberTable::AddObjectProperty(MemberInfo info, ObjectGetter get, ObjectSetter set) {
  info.write = MemberInfo::Write::ByReference;
  entries_[info.name] = Entry{{}, {}, std::move(get), std::move(set), {}};
  members_.push_back(std::move(info));
}

void MemberTable::AddMethod(MemberInfo info, Method call) {
  entries_[info.name] = Entry{{}, {}, {}, {}, std::move(call)};
  members_.push_back(std::move(info));
}

void MemberTable::AddEvent(MemberInfo info) {
  info.kind = MemberInfo::Kind::Event;
  events_.push_back(std::move(info));
}

const MemberTable::Entry& MemberTable::Find(const std::string& name) const {
  auto it = entries_.find(name);
  if (it == entries_.end()) throw Error::NoSuchMember(name);
  return it->second;
}

Variant MemberTable::Get(const std::string& name) const {
  const Entry& e = Find(name);
  if (!e.get) throw Error::NoSuchMember(name + " has no value to read");
  return e.get();
}

void MemberTable::Set(const std::string& name, const Variant& value) const {
  const Entry& e = Find(name);
  if (!e.set) throw Error::NoSuchMember(name + " cannot be written by value");
  e.set(value);
}

ObjectRef MemberTable::GetObject(const std::string& name) const {
  const Entry& e = Find(name);
  if (!e.get_object) throw Error::NoSuchMember(name + " is not an object property");
  return e.get_object();
}

void MemberTable::SetObject(const std::string& name, ObjectRef value) const {
  const Entry& e = Find(name);
  if (!e.set_object) throw Error::NoSuchMember(name + " is not an object property");
  e.set_object(std::move(value));
}

Variant MemberTable::Invoke(const std::string& name, const std::vector<Variant>& args) const {
  const Entry& e = Find(name);
  if (!e.call) throw Error::NoSuchMember(name + " is not a method");
  return e.call(args);
}

}  // namespace trovel
