#include "component/services.h"

#include "messaging/messaging_api.h"
#include "registry/registry_api.h"

namespace orv {

Services platformServices() {
  Services services;
  services.clock = localNow;
  services.identity = currentComponentIdentity;
  services.newGuid = platformNewGuid;
  services.registry = platformRegistry();
  services.messaging = platformMessaging();
  services.showMessageBox = platformMessageBox();
  return services;
}

}  // namespace orv
