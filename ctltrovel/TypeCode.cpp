#include "ctltrovel/TypeCode.h"

#include "platform/Error.h"

namespace trovel {

TIPOC TypeCode::ToTipoC(const std::string& code) {
  if (code == kText) return ctvTEXT;
  if (code == kNumber) return ctvNUMBER;
  if (code == kDate) return ctvDATE;
  throw Error::InvalidValue("\"" + code + "\" no es un código de tipo de columna");
}

const std::string& TypeCode::FromTipoC(TIPOC type) {
  switch (type) {
    case ctvTEXT: return kText;
    case ctvNUMBER: return kNumber;
    case ctvDATE: return kDate;
  }
  throw Error::InvalidValue(std::to_string(static_cast<int32_t>(type)) + " is not a TIPOC value");
}

}  // namespace trovel
