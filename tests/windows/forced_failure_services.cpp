// A test build of the DLL that fails where the product cannot be made to: its GUID source
// fails, to see a failure inside a method reach the component's own log while the call still
// succeeds; and a late-bound DeTick runs out of memory converting its arguments, to see the
// failure stop at the boundary.
#include <new>

#include "com/component_services.h"
#include "base/failure.h"

namespace orv::com {

inline constexpr long kDeTick = 0x60030014;

Services componentServices() {
  Services services = platformServices();
  services.newGuid = [](util::GuidRecord&) -> std::int32_t { throw Failure(-2147024882, u"Not enough storage is available"); };
  return services;
}

void beforeArgumentConversion(long dispatchId) {
  if (dispatchId == kDeTick) throw std::bad_alloc();
}

}  // namespace orv::com
