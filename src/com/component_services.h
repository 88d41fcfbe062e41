#pragma once
// The platform services every instance the class factory makes works through. The product
// links component_services.cpp; a test build of the DLL links its own to force failures.
#include "component/services.h"

namespace orv::com {

Services componentServices();

// Runs as IDispatch::Invoke begins converting a call's arguments: nothing in the product; a
// test build throws here, to show that whatever is thrown stays inside the server.
void beforeArgumentConversion(long dispatchId);

}  // namespace orv::com
