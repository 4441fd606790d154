#include "platform/InnerSizes.h"

#include <cmath>

#include "platform/Error.h"

namespace trovel {

void InnerSizes::Set(const void* control, float width, float height) {
  if (!std::isfinite(width) || !std::isfinite(height) || width < 0 || height < 0)
    throw Error::InvalidValue("tamaño del control");
  sizes_[control] = {width, height};
}

std::pair<float, float> InnerSizes::Find(const void* control) const {
  auto it = sizes_.find(control);
  return it == sizes_.end() ? std::pair<float, float>{0, 0} : it->second;
}

}  // namespace trovel
