// Outside Windows there is no registry.
#include <memory>

#include "registry/no_registry.h"

namespace orv {

std::shared_ptr<registry::RegistryApi> platformRegistry() { return std::make_shared<registry::NoRegistry>(); }

}  // namespace orv
