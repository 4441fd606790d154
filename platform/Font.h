// Font: a font object that several widgets may share; whoever sets it on a
// widget shares its ownership.
#pragma once

#include <string>

#include "platform/RefObject.h"

namespace trovel {

class Font : public RefObject {
 public:
  Font(std::string name = "MS Sans Serif", float size = 8.25f, bool bold = false)
      : name(std::move(name)), size(size), bold(bold) {}

  std::string name;
  float size;  // points
  bool bold;
  bool italic = false;
};

}  // namespace trovel
