// ErrorNumberOf: runs `f` and returns the number of the trovel::Error it
// throws, or 0 when it throws none.
#pragma once

#include "platform/Error.h"

namespace trovel {

template <typename F>
int ErrorNumberOf(F&& f) {
  try {
    f();
  } catch (const Error& e) {
    return e.number();
  }
  return 0;
}

}  // namespace trovel
