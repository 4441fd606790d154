// MemberInfo: the description of one public member of a control or class,
// as a type library publishes it: name, kind, value type and help string.
// Property lists and property pages show members from these descriptions.
#pragma once

#include <string>

namespace trovel {

struct MemberInfo {
  enum class Kind { Method, Property, Function, Event };
  // The public type of a property's value (or a function's result).
  enum class Type { None, Boolean, Integer, Long, Enum, Single, Double, String, Object };
  // How a property is written: by value ("let") or by reference ("set").
  enum class Write { ByValue, ByReference, ReadOnly };

  std::string name;
  Kind kind = Kind::Property;
  Type type = Type::None;
  std::string type_name;  // the enumeration's or class's name, "" otherwise
  std::string help;       // "" when the member has no help string
  Write write = Write::ByValue;
};

}  // namespace trovel
