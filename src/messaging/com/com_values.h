#pragma once
// RAII for the BSTRs and VARIANTs that cross the calls to Outlook and CDO, and what the
// session reads out of them. No ComPtr::Attach anywhere: mingw-w64 10's adds a reference.
#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <string>

#include "messaging/property_value.h"
#include "platform/com_values_win32.h"

namespace orv::messaging::com {

using Microsoft::WRL::ComPtr;
using platform::makeBstr;
using platform::textOf;
using platform::UniqueBstr;
using OwnedVariant = platform::UniqueVariant;

// The object a call returned; null for Nothing. Anything else is not an object (424).
ComPtr<IDispatch> objectOf(const VARIANT& value);

// A field's value as the session compares it.
PropertyValue propertyValueOf(const VARIANT& value);

}  // namespace orv::messaging::com
