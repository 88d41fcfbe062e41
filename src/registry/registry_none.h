#pragma once
// The registry where there is none: every operation answers "not implemented", so the Reg_
// methods return their fallback results.
#include <memory>

#include "registry/registry_api.h"

namespace orv::registry {

std::shared_ptr<RegistryApi> noRegistry();

}  // namespace orv::registry
