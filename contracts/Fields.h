// Fields: the fields of a cursor's current row, looked up by name without
// regard to letter case, or by position. The collection is owned by its
// cursor and valid while the cursor stands on the same row; positions stay
// the same for the cursor's whole life, so a reader that walks many rows
// looks each name up once and reads by position afterwards.
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
  // The position of the field called `name` (any letter case).
  // Throws Error 3265 when the row has no such field.
  virtual int IndexOf(const std::string& name) const = 0;
  // The value of the field at `position`.
  // REQUIRES: 0 <= position < Count().
  virtual Variant ItemAt(int position) const = 0;
  // The value of the field called `name` (any letter case).
  // Throws Error 3265 when the row has no such field.
  Variant Item(const std::string& name) const { return ItemAt(IndexOf(name)); }
};

}  // namespace trovel
