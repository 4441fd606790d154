#include "platform/MemoryPropertyBag.h"

namespace trovel {

Variant MemoryPropertyBag::ReadProperty(const std::string& key, const Variant& default_value) {
  reads.push_back(key);
  auto it = values_.find(key);
  return it == values_.end() ? default_value : it->second;
}

void MemoryPropertyBag::WriteProperty(const std::string& key, const Variant& value, const Variant& default_value) {
  writes.push_back(key);
  if (!default_value.IsEmpty() && value == default_value) {
    values_.erase(key);
    return;
  }
  values_[key] = value;
}

}  // namespace trovel
