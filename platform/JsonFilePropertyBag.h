// JsonFilePropertyBag: a property bag kept as JSON, so that a saved form can
// be reopened by another process. Each value keeps its type: JSON strings,
// booleans, and tagged objects {"type": "Long"|"Single"|"Integer"|"Double"|
// "Date", "value": ...} for numbers and dates, since JSON numbers alone do
// not tell a 32-bit integer from a single float; a Decimal's value is its
// text ({"type": "Decimal", "value": "12.5"}), which keeps every digit.
#pragma once

#include <nlohmann/json.hpp>

#include "platform/MemoryPropertyBag.h"

namespace trovel {

class JsonFilePropertyBag : public MemoryPropertyBag {
 public:
  JsonFilePropertyBag() = default;
  // Throws Error with a clear description for malformed input.
  explicit JsonFilePropertyBag(const nlohmann::json& json) { FromJson(json); }

  nlohmann::json ToJson() const;
  void FromJson(const nlohmann::json& json);

  // Throws Error when the file cannot be read, written or parsed.
  void Load(const std::string& path);
  void Save(const std::string& path) const;

  static nlohmann::json EncodeValue(const Variant& v);
  static Variant DecodeValue(const nlohmann::json& j);
};

}  // namespace trovel
