// Outside Windows there is no registry.
#include <memory>

#include "registry/registry_none.h"

namespace orv::registry {

std::shared_ptr<RegistryApi> platformRegistry() { return std::make_shared<NoRegistry>(); }

std::u16string registryErrorText(std::int32_t) { return {}; }

}  // namespace orv::registry
