#include "component/services.h"

#include "about/about_box.h"
#include "messaging/messaging_api.h"
#include "registry/registry_api.h"

namespace orv {

Services withDefaults(Services services) {
  if (!services.clock) services.clock = platform::localNow;
  if (!services.identity) services.identity = platform::currentComponentIdentity;
  if (!services.newGuid) services.newGuid = util::platformNewGuid;
  if (!services.registry) services.registry = registry::platformRegistry();
  if (!services.messaging) services.messaging = messaging::platformMessaging();
  if (!services.showMessageBox) services.showMessageBox = messaging::platformMessageBox();
  if (!services.aboutBox) services.aboutBox = about::platformAboutBox();
  return services;
}

Services platformServices() { return withDefaults({}); }

}  // namespace orv
