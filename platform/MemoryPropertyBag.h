// MemoryPropertyBag: a property bag in memory that also remembers the order
// of reads and writes, so that a test can check it.
#pragma once

#include <map>
#include <vector>

#include "platform/PropertyBag.h"

namespace trovel {

class MemoryPropertyBag : public PropertyBag {
 public:
  Variant ReadProperty(const std::string& key, const Variant& default_value) override;
  void WriteProperty(const std::string& key, const Variant& value, const Variant& default_value = Variant()) override;

  const std::map<std::string, Variant>& Values() const { return values_; }
  bool Has(const std::string& key) const { return values_.count(key) != 0; }
  void Set(const std::string& key, const Variant& value) { values_[key] = value; }

  std::vector<std::string> reads;   // keys in the order read
  std::vector<std::string> writes;  // keys in the order written

 private:
  std::map<std::string, Variant> values_;
};

}  // namespace trovel
