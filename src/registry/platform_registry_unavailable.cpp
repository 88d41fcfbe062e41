// Outside Windows there is no registry.
#include <memory>

#include "registry/no_registry.h"

namespace orv {

std::shared_ptr<registry::RegistryApi> platformRegistry() { return std::make_shared<registry::NoRegistry>(); }

std::u16string registryErrorText(std::int32_t) { return {}; }

}  // namespace orv
