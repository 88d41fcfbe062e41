// Outside Windows there is no registry.
#include <memory>

#include "registry/registry_none.h"

namespace orv::registry {

std::shared_ptr<RegistryApi> platformRegistry() { return noRegistry(); }

std::u16string registryErrorText(std::int32_t) { return {}; }

std::optional<bool> keyHasSubkeys(KeyHandle, const std::string&) { return {}; }

}  // namespace orv::registry
