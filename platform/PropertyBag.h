// PropertyBag: the store of named values in which the host saves a control's
// design-time properties. Keys are exact strings.
#pragma once

#include <string>

#include "platform/Variant.h"

namespace trovel {

class PropertyBag {
 public:
  PropertyBag() = default;
  PropertyBag(const PropertyBag&) = delete;
  PropertyBag& operator=(const PropertyBag&) = delete;
  virtual ~PropertyBag() = default;

  // The stored value of `key`, or `default_value` when there is none.
  virtual Variant ReadProperty(const std::string& key, const Variant& default_value) = 0;
  // Stores `value` under `key`. A value equal to a given (non-Empty) default
  // is not stored, and removes what the key held, so that reading it back
  // gives the default.
  virtual void WriteProperty(const std::string& key, const Variant& value, const Variant& default_value = Variant()) = 0;
};

}  // namespace trovel
