#include "com/component_services.h"

namespace orv::com {

Services componentServices() { return platformServices(); }

}  // namespace orv::com
