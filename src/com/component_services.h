#pragma once
// The platform services every instance the class factory makes works through. The product
// links component_services.cpp; a test build of the DLL links its own to force failures.
#include "component/services.h"

namespace orv::com {

Services componentServices();

}  // namespace orv::com
