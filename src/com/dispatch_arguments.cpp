#include "com/dispatch_arguments.h"

#include <oleauto.h>
#include <wrl/client.h>

#include <cstring>

#include "platform/com_values_win32.h"

namespace orv::com {
namespace {

constexpr int kMostReferenceLinks = 8;

bool omitted(const VARIANT& value) { return value.vt == VT_ERROR && value.scode == DISP_E_PARAMNOTFOUND; }

bool sameValue(const VARIANT& left, const VARIANT& right) {
  if (left.vt != right.vt) return false;
  switch (left.vt) {
    case VT_BSTR: {
      const UINT length = SysStringByteLen(left.bstrVal);
      return length == SysStringByteLen(right.bstrVal) &&
             (length == 0 || std::memcmp(left.bstrVal, right.bstrVal, length) == 0);
    }
    case VT_I4:
      return left.lVal == right.lVal;
    case VT_BOOL:
      return left.boolVal == right.boolVal;
    default:
      return VarCmp(const_cast<VARIANT*>(&left), const_cast<VARIANT*>(&right), LOCALE_USER_DEFAULT, 0) == VARCMP_EQ;
  }
}

// Stores value into a typed by-reference slot of the caller (VT_BYREF|type), converting it to that type.
void storeThroughReference(VARIANT& target, const VARIANT& value) {
  const VARTYPE slotType = static_cast<VARTYPE>(target.vt & ~VT_BYREF);
  platform::UniqueVariant converted;
  if (FAILED(VariantChangeType(converted.get(), const_cast<VARIANT*>(&value), 0, slotType))) return;
  switch (slotType) {
    case VT_BSTR:
      SysFreeString(*target.pbstrVal);
      *target.pbstrVal = converted.release().bstrVal;
      return;
    case VT_I4:
      *target.plVal = converted->lVal;
      return;
    case VT_I2:
      *target.piVal = converted->iVal;
      return;
    case VT_BOOL:
      *target.pboolVal = converted->boolVal;
      return;
    case VT_R8:
      *target.pdblVal = converted->dblVal;
      return;
    default:
      return;  // a slot type no client of this interface passes: left alone
  }
}

// The caller's value as the declared type. A 32-bit number also takes the unsigned spelling of
// its bits, as JScript writes registry roots and HRESULTs (0x80000001 is a double there).
HRESULT convert(const VARIANT& given, VARTYPE type, LCID locale, VARIANT& converted) {
  platform::UniqueVariant source;
  HRESULT hr = VariantCopyInd(source.get(), const_cast<VARIANT*>(&given));
  if (SUCCEEDED(hr)) hr = VariantChangeTypeEx(&converted, source.get(), locale, 0, type);
  if (hr == DISP_E_OVERFLOW && type == VT_I4) {
    platform::UniqueVariant bits;
    hr = VariantChangeTypeEx(bits.get(), source.get(), locale, 0, VT_UI4);
    if (SUCCEEDED(hr)) {
      converted.vt = VT_I4;
      converted.lVal = static_cast<LONG>(bits->ulVal);
    }
  }
  return hr;
}

}  // namespace

HRESULT declaredParameter(ITypeInfo* owner, const ELEMDESC& element, DeclaredParameter& declared) {
  const TYPEDESC* type = &element.tdesc;
  if (type->vt == VT_PTR) {
    declared.byReference = true;
    type = type->lptdesc;
  }
  declared.type = type->vt;
  // Enumerations travel as 32-bit values; an alias stands for the base type it names.
  if (type->vt == VT_USERDEFINED) {
    Microsoft::WRL::ComPtr<ITypeInfo> named;
    if (HRESULT hr = owner->GetRefTypeInfo(type->hreftype, &named); FAILED(hr)) return hr;
    TYPEATTR* attributes = nullptr;
    if (HRESULT hr = named->GetTypeAttr(&attributes); FAILED(hr)) return hr;
    const TYPEKIND kind = attributes->typekind;
    const TYPEDESC alias = attributes->tdescAlias;
    named->ReleaseTypeAttr(attributes);
    if (kind == TKIND_ENUM) {
      declared.type = VT_I4;
    } else if (kind == TKIND_ALIAS && alias.vt != VT_USERDEFINED && alias.vt != VT_PTR) {
      declared.type = alias.vt;
    } else {
      return DISP_E_BADVARTYPE;
    }
  }
  const USHORT flags = element.paramdesc.wParamFlags;
  declared.optional = (flags & (PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT)) != 0;
  if ((flags & PARAMFLAG_FHASDEFAULT) != 0 && element.paramdesc.pparamdescex != nullptr) {
    declared.defaultValue = &element.paramdesc.pparamdescex->varDefaultValue;
  }
  return S_OK;
}

CallArgument::CallArgument() noexcept { VariantInit(&call_); }

HRESULT CallArgument::prepare(const DeclaredParameter& declared, VARIANT* supplied, LCID locale) {
  // VBScript passes its variables as VT_BYREF|VT_VARIANT: the variable is what they point to.
  // No caller needs more than a few links; a longer chain may be a loop.
  VARIANT* holder = supplied;
  for (int links = 0; holder != nullptr && holder->vt == (VT_BYREF | VT_VARIANT); ++links) {
    if (links == kMostReferenceLinks || holder->pvarVal == nullptr) return DISP_E_TYPEMISMATCH;
    holder = holder->pvarVal;
  }

  if (holder == nullptr || omitted(*holder)) {
    if (!declared.optional) return DISP_E_PARAMNOTOPTIONAL;
    HRESULT hr = S_OK;
    if (declared.defaultValue != nullptr) hr = VariantCopy(value_.get(), const_cast<VARIANT*>(declared.defaultValue));
    if (SUCCEEDED(hr)) hr = VariantChangeType(value_.get(), value_.get(), 0, declared.type);
    if (FAILED(hr)) return hr;
  } else {
    if (FAILED(convert(*holder, declared.type, locale, *value_))) return DISP_E_TYPEMISMATCH;
    // Only the caller's variables take results; a literal or expression passed by value does not.
    const bool variable = supplied->vt == (VT_BYREF | VT_VARIANT) || (holder->vt & VT_BYREF) != 0;
    if (declared.byReference && variable) callerVariable_ = holder;
  }
  if (declared.byReference) {
    if (HRESULT hr = VariantCopy(before_.get(), value_.get()); FAILED(hr)) return hr;
    call_.vt = static_cast<VARTYPE>(VT_BYREF | declared.type);
    call_.byref = &value_->llVal;  // the union's storage, whatever the type
  } else {
    call_ = *value_;  // shares value_'s BSTR; value_ keeps the ownership
  }
  return S_OK;
}

void CallArgument::prepareResult(const DeclaredParameter& declared) {
  value_->vt = declared.type;
  value_->llVal = 0;
  call_.vt = static_cast<VARTYPE>(VT_BYREF | declared.type);
  call_.byref = &value_->llVal;
}

void CallArgument::writeBack() {
  if (callerVariable_ == nullptr || sameValue(*before_, *value_)) return;
  if ((callerVariable_->vt & VT_BYREF) != 0) {
    storeThroughReference(*callerVariable_, *value_);
    return;
  }
  platform::UniqueVariant copy;
  if (FAILED(VariantCopy(copy.get(), value_.get()))) return;
  VariantClear(callerVariable_);
  *callerVariable_ = copy.release();
}

void CallArgument::moveValueTo(VARIANT* destination) noexcept {
  if (destination == nullptr) return;
  *destination = value_.release();
}

}  // namespace orv::com
