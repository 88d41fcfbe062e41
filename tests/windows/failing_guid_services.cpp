// A test build of the DLL whose GUID source fails, to see a failure inside a method reach the
// component's own log while the call still succeeds.
#include "com/component_services.h"
#include "base/failure.h"

namespace orv::com {

Services componentServices() {
  Services services = platformServices();
  services.newGuid = [](util::GuidRecord&) -> std::int32_t { throw Failure(-2147024882, u"Not enough storage is available"); };
  return services;
}

}  // namespace orv::com
