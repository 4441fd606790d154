#include "platform/Error.h"

namespace trovel {
namespace {

Error Make(int number, const char* text, const std::string& detail) {
  std::string description = text;
  if (!detail.empty()) description += ": " + detail;
  return Error(number, description);
}

}  // namespace

Error Error::InvalidValue(const std::string& d) { return Make(kInvalidValue, "Invalid property value", d); }
Error Error::TypeMismatch(const std::string& d) { return Make(kTypeMismatch, "Type mismatch", d); }
Error Error::Overflow(const std::string& d) { return Make(kOverflow, "Overflow", d); }
Error Error::ObjectNotSet(const std::string& d) {
  return Make(kObjectNotSet, "Object variable or With block variable not set", d);
}
Error Error::SubscriptOutOfRange(const std::string& d) { return Make(kSubscriptOutOfRange, "Subscript out of range", d); }
Error Error::KeyAlreadyInCollection(const std::string& d) {
  return Make(kKeyAlreadyInCollection, "This key is already associated with an element of this collection", d);
}

Error Error::NoSuchMember(const std::string& m) {
  return Make(kNoSuchMember, "Object doesn't support this property or method", m);
}

}  // namespace trovel
