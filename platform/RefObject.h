// RefObject: common base of every reference object the host hands around
// (connections, cursors, fonts, grids). Objects are shared through
// std::shared_ptr<RefObject>; a receiver that needs a narrower interface
// asks for it with std::dynamic_pointer_cast and refuses the object with a
// type-mismatch error when the cast fails.
#pragma once

#include <memory>

namespace trovel {

class RefObject {
 public:
  RefObject() = default;
  RefObject(const RefObject&) = delete;
  RefObject& operator=(const RefObject&) = delete;
  virtual ~RefObject() = default;
};

using ObjectRef = std::shared_ptr<RefObject>;

}  // namespace trovel
