#include "com/component_services.h"

namespace orv::com {

Services componentServices() { return platformServices(); }

void beforeArgumentConversion(long) {}

}  // namespace orv::com
