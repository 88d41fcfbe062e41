#pragma once
// The one failure type of the portable layer: what a client reads in the error log.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace orv {

// Error numbers of the component's own code, as its clients have always seen them.
namespace error_number {
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kOutOfMemory = 7;
inline constexpr std::int32_t kSubscriptOutOfRange = 9;
inline constexpr std::int32_t kTypeMismatch = 13;
inline constexpr std::int32_t kInternalError = 51;
inline constexpr std::int32_t kObjectNotSet = 91;  // a call through an object field that holds nothing
inline constexpr std::int32_t kObjectRequired = 424;  // a member answered something that is not an object
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

// Number and description of whatever a step threw, for reporting.
struct CaughtFailure {
  std::int32_t number;
  std::u16string description;
};
CaughtFailure describeCurrentException() noexcept;

}  // namespace orv
