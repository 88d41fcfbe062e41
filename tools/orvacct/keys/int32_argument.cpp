#include "keys/int32_argument.h"

#include <cstdint>
#include <stdexcept>

#include "output/tool_output.h"

namespace orvacct {

std::int32_t parseInt32(const std::string& text, const std::string& what) {
  // Hex only with its prefix: a leading zero does not make a decimal number octal.
  const std::size_t digits = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
  const bool hex = text.size() > digits + 1 && text[digits] == '0' && (text[digits + 1] | 0x20) == 'x';
  long long value = 0;
  std::size_t used = 0;
  try {
    value = std::stoll(text, &used, hex ? 16 : 10);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != text.size() || value < INT32_MIN || value > static_cast<long long>(UINT32_MAX)) {
    throw UsageError(what + " is not a 32-bit number: '" + text + "'");
  }
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

}  // namespace orvacct
