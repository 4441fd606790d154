// InnerSizes: the inner width and height, in twips, that a host has given
// each control it shows. Both hosts keep their controls' sizes here, so that
// ScaleWidth and ScaleHeight answer alike everywhere: zero for a control that
// was never sized.
//
// Controls are not owned; they are only the keys.
#pragma once

#include <map>
#include <utility>

namespace trovel {

class InnerSizes {
 public:
  // Throws Error::InvalidValue for a negative or non-finite size and keeps
  // the size the control had.
  void Set(const void* control, float width, float height);
  float Width(const void* control) const { return Find(control).first; }
  float Height(const void* control) const { return Find(control).second; }

 private:
  std::pair<float, float> Find(const void* control) const;

  std::map<const void*, std::pair<float, float>> sizes_;
};

}  // namespace trovel
