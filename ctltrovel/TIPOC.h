// TIPOC: the typed view of a column's type, shared by both search controls.
// ctlTrovel stores a column's type as a three-letter code ("TEX", "NUM",
// "FEC"); ctlTrovel2's columns hold the enumeration itself.
#pragma once

#include <cstdint>

namespace trovel {

enum TIPOC : int32_t {
  ctvTEXT = 0,    // "ctvTEXT"
  ctvNUMBER = 1,  // "ctvNUMBER"
  ctvDATE = 2,    // "ctvDATE"
};

}  // namespace trovel
