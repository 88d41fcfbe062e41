#pragma once
// The one failure type below the class: what a client reads in the error log. The numbers and
// texts are the run-time errors clients have always seen for these conditions.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace orv {

namespace error_number {
inline constexpr std::int32_t kInvalidProcedureCall = 5;
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kOutOfMemory = 7;
inline constexpr std::int32_t kSubscriptOutOfRange = 9;
inline constexpr std::int32_t kTypeMismatch = 13;
inline constexpr std::int32_t kInternalError = 51;
inline constexpr std::int32_t kBadFileName = 52;
inline constexpr std::int32_t kDiskFull = 61;
inline constexpr std::int32_t kPathFileAccessError = 75;
inline constexpr std::int32_t kPathNotFound = 76;
inline constexpr std::int32_t kObjectVariableNotSet = 91;
inline constexpr std::int32_t kObjectRequired = 424;
}  // namespace error_number

class Failure : public std::runtime_error {
 public:
  Failure(std::int32_t number, std::u16string description);

  std::int32_t number() const noexcept { return number_; }
  const std::u16string& description() const noexcept { return description_; }

 private:
  std::int32_t number_;
  std::u16string description_;
};

[[noreturn]] void throwSubscriptOutOfRange();
[[noreturn]] void throwOverflow();
[[noreturn]] void throwBadFileName();
[[noreturn]] void throwDiskFull();
[[noreturn]] void throwPathFileAccessError();
[[noreturn]] void throwPathNotFound();
[[noreturn]] void throwObjectVariableNotSet();

// Number and description of whatever a step threw, for reporting.
struct CaughtFailure {
  std::int32_t number;
  std::u16string description;
};
CaughtFailure describeCurrentException() noexcept;

}  // namespace orv
