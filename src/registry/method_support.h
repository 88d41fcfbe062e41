#pragma once
// What the Reg_ methods share: the root handle of an HKeyHive, and sizes as DWORDs.
#include <cstddef>
#include <cstdint>
#include <limits>

#include "component/clsOrvAcctMan.h"
#include "component/failure.h"
#include "registry/registry_api.h"

namespace orv::registry {

// Passed unchanged, in or out of the enumeration: the registry decides what it accepts.
inline KeyHandle rootOf(HKeyHive hKey) noexcept { return rootKeyHandle(static_cast<std::int32_t>(hKey)); }

inline std::uint32_t dwordSize(std::size_t size) {
  if (size > std::numeric_limits<std::uint32_t>::max()) throwOverflow();
  return static_cast<std::uint32_t>(size);
}

}  // namespace orv::registry
