// TypeCode: ctlTrovel's three-letter column type codes and their mapping onto
// TIPOC. Codes compare exactly, letter case included.
#pragma once

#include <string>

#include "ctltrovel/TIPOC.h"

namespace trovel {

struct TypeCode {
  static inline const std::string kText = "TEX";
  static inline const std::string kNumber = "NUM";
  static inline const std::string kDate = "FEC";

  // Throws Error::InvalidValue for a text that is none of the three codes.
  static TIPOC ToTipoC(const std::string& code);
  // Throws Error::InvalidValue for a value outside TIPOC.
  static const std::string& FromTipoC(TIPOC type);
};

}  // namespace trovel
