#include "component/services.h"

#include "registry/registry_api.h"

namespace orv {

Services platformServices() {
  Services services;
  services.clock = localNow;
  services.identity = currentComponentIdentity;
  services.newGuid = platformNewGuid;
  services.registry = platformRegistry();
  return services;
}

}  // namespace orv
