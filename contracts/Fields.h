// Fields: the fields of a cursor's current row, looked up by name without
// regard to letter case. The collection is owned by its cursor and valid
// while the cursor stands on the same row.
#pragma once

#include <string>

#include "platform/Variant.h"

namespace trovel {

class Fields {
 public:
  Fields() = default;
  Fields(const Fields&) = delete;
  Fields& operator=(const Fields&) = delete;
  virtual ~Fields() = default;

  virtual int Count() const = 0;
  // The value of the field called `name` (any letter case).
  // Throws Error 3265 when the row has no such field.
  virtual Variant Item(const std::string& name) const = 0;
};

}  // namespace trovel
