#include "component/services.h"

#include "about/about_box.h"
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
  services.aboutBox = about::platformAboutBox();
  return services;
}

}  // namespace orv
