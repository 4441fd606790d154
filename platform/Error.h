// Error: the one exception type of the platform layer. It carries a number and
// the failure's description; handlers that catch failures show the description
// to the user in a message box.
#pragma once

#include <stdexcept>
#include <string>

namespace trovel {

class Error : public std::runtime_error {
 public:
  // Error numbers of the kinds the controls meet.
  enum Number : int {
    kInvalidValue = 380,
    kTypeMismatch = 13,
    kOverflow = 6,
    kObjectNotSet = 91,
    kSubscriptOutOfRange = 9,
    kKeyAlreadyInCollection = 457,
    kCannotFocus = 5,
    kNoSuchMember = 438,
    kDatabase = 3000,
  };

  Error(int number, const std::string& description)
      : std::runtime_error(description), number_(number) {}

  int number() const { return number_; }
  std::string description() const { return what(); }

  static Error InvalidValue(const std::string& detail = "");
  static Error TypeMismatch(const std::string& detail = "");
  static Error Overflow(const std::string& detail = "");
  static Error ObjectNotSet(const std::string& detail = "");
  static Error SubscriptOutOfRange(const std::string& detail = "");
  static Error KeyAlreadyInCollection(const std::string& detail = "");
  static Error NoSuchMember(const std::string& member);

 private:
  int number_;
};

}  // namespace trovel
