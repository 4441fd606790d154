// FormatPicture: a Format picture read once and applied to many values, as a
// grid column formats each of its cells with the same picture.
// FormatPicture(p).Apply(v) is Format(v, p) (see Format.h for the codes).
//
// Thread-safety: Apply may be called from several threads at once; the
// picture does not change once made.
#pragma once

#include <memory>
#include <string>

#include "platform/Variant.h"

namespace trovel {

class FormatPicture {
 public:
  explicit FormatPicture(const std::string& picture);
  ~FormatPicture();
  FormatPicture(FormatPicture&&) noexcept;
  FormatPicture& operator=(FormatPicture&&) noexcept;
  FormatPicture(const FormatPicture&) = delete;
  FormatPicture& operator=(const FormatPicture&) = delete;

  std::string Apply(const Variant& value) const;

 private:
  struct Compiled;
  std::unique_ptr<const Compiled> compiled_;
};

}  // namespace trovel
