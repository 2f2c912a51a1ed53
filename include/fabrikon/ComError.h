// ComError: the one exception type of the library. Database and component
// failures carry an HRESULT-style number (signed 32-bit) and a description,
// as the host expects from a failed call; business outcomes are result
// strings, never exceptions.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

namespace fabrikon {

// Error numbers the library produces or looks at.
namespace ErrorNumber {
inline constexpr int32_t E_FAIL_ = static_cast<int32_t>(0x80004005);             // unspecified / locked
inline constexpr int32_t CantConvertValue = static_cast<int32_t>(0x80040E07);    // -2147217913
inline constexpr int32_t ErrorsInCommand = static_cast<int32_t>(0x80040E14);     // syntax
inline constexpr int32_t IntegrityViolation = static_cast<int32_t>(0x80040E2F);  // constraint
inline constexpr int32_t Timeout = static_cast<int32_t>(0x80040E31);             // busy
inline constexpr int32_t CommandTextNotSet = static_cast<int32_t>(0x80040E0C);
inline constexpr int32_t ItemNotFound = static_cast<int32_t>(0x800A0CC1);        // field name unknown
inline constexpr int32_t NoCurrentRecord = static_cast<int32_t>(0x800A0BCD);     // BOF or EOF
inline constexpr int32_t ObjectClosed = static_cast<int32_t>(0x800A0E78);
inline constexpr int32_t NoTransaction = static_cast<int32_t>(0x800A0CAE);
inline constexpr int32_t NotSupported = 438;  // object doesn't support this property or method
inline constexpr int32_t DomError = static_cast<int32_t>(0x80004005);
inline constexpr int32_t TypeMismatch = 13;
inline constexpr int32_t InvalidUseOfNull = 94;
inline constexpr int32_t NotImplemented = static_cast<int32_t>(0x80004001);      // E_NOTIMPL
inline constexpr int32_t NoInterface = static_cast<int32_t>(0x80004002);         // E_NOINTERFACE
inline constexpr int32_t ClassNotRegistered = static_cast<int32_t>(0x80040154);  // REGDB_E_CLASSNOTREG
inline constexpr int32_t InvalidArgument = static_cast<int32_t>(0x800A0BB9);  // argument out of range
inline constexpr int32_t InvalidProcedureCall = 5;  // invalid procedure call or argument
inline constexpr int32_t Overflow = 6;
inline constexpr int32_t ObjectNotSet = 91;  // object variable not set (a Nothing handle)
}  // namespace ErrorNumber

class ComError : public std::runtime_error {
 public:
  ComError(int32_t number, const std::string& description)
      : std::runtime_error(description), number_(number), description_(description) {}
  int32_t Number() const noexcept { return number_; }
  const std::string& Description() const noexcept { return description_; }

 private:
  int32_t number_;
  std::string description_;
};

// What a collection raises for a name (or ordinal) it does not hold.
inline ComError ItemNotFoundError(const std::string& what) {
  return ComError(ErrorNumber::ItemNotFound,
                  "Item cannot be found in the collection corresponding to the requested name or ordinal: " + what);
}

}  // namespace fabrikon
