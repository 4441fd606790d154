// Picture: a small 16-colour bitmap, the kind a graphical button shows next
// to its caption. Each pixel is an index into the standard 16-colour
// palette, or transparent. Pictures are reference objects: a control creates
// its pictures once and its buttons share them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/RefObject.h"

namespace trovel {

class Picture : public RefObject {
 public:
  static constexpr int kTransparent = -1;

  // One text per pixel row, all of one length: a hexadecimal digit is a
  // palette index, '.' is transparent.
  // Throws Error::InvalidValue for ragged rows or another character.
  explicit Picture(const std::vector<std::string>& rows);

  int Width() const { return width_; }
  int Height() const { return static_cast<int>(pixels_.size()) / (width_ ? width_ : 1); }
  // REQUIRES: 0 <= x < Width(), 0 <= y < Height().
  int PaletteIndex(int x, int y) const { return pixels_[static_cast<size_t>(y * width_ + x)]; }

  // The colours of the palette as 0xRRGGBB: black, dark blue, dark green,
  // dark cyan, dark red, dark magenta, olive, light grey, dark grey, blue,
  // green, cyan, red, magenta, yellow, white.
  static const std::array<uint32_t, 16>& Palette();

 private:
  int width_ = 0;
  std::vector<int8_t> pixels_;
};

}  // namespace trovel
