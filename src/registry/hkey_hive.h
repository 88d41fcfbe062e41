#pragma once
// The registry roots the Reg_ methods take, as the interface's enumeration has them.
#include <cstdint>

#include "registry/registry_api.h"

namespace orv {

// Any other 32-bit value is passed to the registry unchanged: the registry decides what it accepts.
enum HKeyHive : std::int32_t {
  HkeyClassesRToot = static_cast<std::int32_t>(0x80000000),
  HkeyCurrentUser = static_cast<std::int32_t>(0x80000001),
  HkeyLocalMachine = static_cast<std::int32_t>(0x80000002),
  HkeyUsers = static_cast<std::int32_t>(0x80000003),
  HkeyCurrentConfig = static_cast<std::int32_t>(0x80000005),
};

namespace registry {

inline KeyHandle rootOf(HKeyHive hKey) noexcept { return rootKeyHandle(static_cast<std::int32_t>(hKey)); }

}  // namespace registry
}  // namespace orv
