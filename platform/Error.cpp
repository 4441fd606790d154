#include "platform/Error.h"

namespace trovel {
namespace {

Error Make(int number, const char* text, const std::string& detail) {
  std::string description = text;
  if (!detail.empty()) description += ": " + detail;
  return Error(number, description);
}

}  // namespace

Error Error::InvalidValue(const std::string& d) { return Make(kInvalidValue, "Valor de propiedad no válido", d); }
Error Error::TypeMismatch(const std::string& d) { return Make(kTypeMismatch, "No coinciden los tipos", d); }
Error Error::Overflow(const std::string& d) { return Make(kOverflow, "Desbordamiento", d); }
Error Error::ObjectNotSet(const std::string& d) {
  return Make(kObjectNotSet, "Variable de objeto o bloque With no establecida", d);
}
Error Error::SubscriptOutOfRange(const std::string& d) { return Make(kSubscriptOutOfRange, "El subíndice está fuera del intervalo", d); }
Error Error::KeyAlreadyInCollection(const std::string& d) {
  return Make(kKeyAlreadyInCollection, "Esta clave ya está asociada con un elemento de esta colección", d);
}

Error Error::NoSuchMember(const std::string& m) {
  return Make(kNoSuchMember, "El objeto no acepta esta propiedad o método", m);
}

}  // namespace trovel
