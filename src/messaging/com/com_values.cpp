#include "messaging/com/com_values.h"

#include <new>

#include "base/failure.h"

namespace orv::messaging::com {

ComPtr<IDispatch> objectOf(const VARIANT& value) {
  const VARIANT* direct = &value;
  if (value.vt == (VT_BYREF | VT_VARIANT) && value.pvarVal != nullptr) direct = value.pvarVal;
  ComPtr<IDispatch> object;
  switch (direct->vt) {
    case VT_DISPATCH:
      object = direct->pdispVal;  // a reference of our own; the VARIANT keeps and frees its own
      return object;
    case VT_UNKNOWN:
      if (direct->punkVal == nullptr) return object;
      if (SUCCEEDED(direct->punkVal->QueryInterface(IID_PPV_ARGS(&object)))) return object;
      break;
    case VT_EMPTY:
    case VT_NULL:
    default:
      break;
  }
  throw Failure(error_number::kObjectRequired, u"Object required");
}

PropertyValue propertyValueOf(const VARIANT& value) {
  OwnedVariant direct;
  if (FAILED(VariantCopyInd(direct.get(), const_cast<VARIANT*>(&value)))) return {PropertyValue::Kind::Other};
  switch ((*direct).vt) {
    case VT_EMPTY:
      return {PropertyValue::Kind::Empty};
    case VT_NULL:
      return {PropertyValue::Kind::Null};
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_I8:
    case VT_INT:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UI8:
    case VT_UINT:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DECIMAL:
    case VT_BOOL:
    case VT_DATE: {
      OwnedVariant number;
      if (FAILED(VariantChangeType(number.get(), direct.get(), 0, VT_R8))) break;
      return PropertyValue::ofNumber((*number).dblVal);
    }
    default:
      break;
  }
  return {PropertyValue::Kind::Other};
}

}  // namespace orv::messaging::com
