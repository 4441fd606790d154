#include "platform/Picture.h"

#include "platform/Error.h"

namespace trovel {

Picture::Picture(const std::vector<std::string>& rows) {
  width_ = rows.empty() ? 0 : static_cast<int>(rows.front().size());
  for (const std::string& row : rows) {
    if (static_cast<int>(row.size()) != width_) throw Error::InvalidValue("las filas de la imagen tienen distinta longitud");
    for (char c : row) {
      if (c == '.')
        pixels_.push_back(kTransparent);
      else if (c >= '0' && c <= '9')
        pixels_.push_back(static_cast<int8_t>(c - '0'));
      else if (c >= 'a' && c <= 'f')
        pixels_.push_back(static_cast<int8_t>(c - 'a' + 10));
      else
        throw Error::InvalidValue(std::string("picture pixel '") + c + "'");
    }
  }
}

const std::array<uint32_t, 16>& Picture::Palette() {
  static const std::array<uint32_t, 16> palette = {
      0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
      0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
  return palette;
}

}  // namespace trovel
