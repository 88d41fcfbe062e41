#include "com/dispatch_invoker.h"

#include <oleauto.h>

#include <vector>

#include "com/component_services.h"
#include "com/dispatch_arguments.h"
#include "platform/com_values_win32.h"
#include "orvacctman_idl.h"
#include "platform/own_module_win32.h"
#include "platform/unique_resource.h"

namespace orv::com {
namespace {

// A function's description goes back to the type information that gave it.
struct FuncDescOf {
  ITypeInfo* owner;
  FUNCDESC* description;
  bool operator==(const FuncDescOf&) const = default;
};
bool releaseFuncDesc(FuncDescOf held) noexcept {
  held.owner->ReleaseFuncDesc(held.description);
  return true;
}
using UniqueFuncDesc = platform::UniqueResource<FuncDescOf, releaseFuncDesc, FuncDescOf{nullptr, nullptr}>;

HRESULT findFunction(ITypeInfo* info, DISPID id, UniqueFuncDesc& found) {
  Microsoft::WRL::ComPtr<ITypeInfo2> info2;
  if (HRESULT hr = info->QueryInterface(IID_PPV_ARGS(&info2)); FAILED(hr)) return hr;
  UINT index = 0;
  if (FAILED(info2->GetFuncIndexOfMemId(id, INVOKE_FUNC, &index))) return DISP_E_MEMBERNOTFOUND;
  FUNCDESC* description = nullptr;
  if (HRESULT hr = info->GetFuncDesc(index, &description); FAILED(hr)) return hr;
  found = UniqueFuncDesc(FuncDescOf{info, description});
  return S_OK;
}

bool hasResult(const FUNCDESC& function) {
  return function.cParams > 0 && (function.lprgelemdescParam[function.cParams - 1].paramdesc.wParamFlags &
                                  PARAMFLAG_FRETVAL) != 0;
}

}  // namespace

HRESULT DispatchInvoker::load() {
  if (interfaceInfo_) return S_OK;
  Microsoft::WRL::ComPtr<ITypeLib> library;
  if (HRESULT hr = LoadTypeLibEx(ownModulePath().c_str(), REGKIND_NONE, &library); FAILED(hr)) return hr;
  Microsoft::WRL::ComPtr<ITypeInfo> dispatch;
  if (HRESULT hr = library->GetTypeInfoOfGuid(IID__clsOrvAcctMan, &dispatch); FAILED(hr)) return hr;
  // A dual interface's type information is the dispatch side; the vtable side hangs off it.
  Microsoft::WRL::ComPtr<ITypeInfo> vtable = dispatch;
  HREFTYPE vtableSide = 0;
  if (SUCCEEDED(dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtableSide))) {
    if (HRESULT hr = dispatch->GetRefTypeInfo(vtableSide, &vtable); FAILED(hr)) return hr;
  }
  dispatchInfo_ = dispatch;
  interfaceInfo_ = vtable;
  return S_OK;
}

HRESULT DispatchInvoker::dispatchTypeInfo(ITypeInfo** info) {
  if (HRESULT hr = load(); FAILED(hr)) return hr;
  return dispatchInfo_.CopyTo(info);
}

HRESULT DispatchInvoker::idsOfNames(LPOLESTR* names, UINT count, DISPID* ids) {
  if (HRESULT hr = load(); FAILED(hr)) return hr;
  return interfaceInfo_->GetIDsOfNames(names, count, ids);
}

HRESULT DispatchInvoker::invoke(IUnknown* target, DISPID id, LCID locale, WORD flags, DISPPARAMS* params,
                                VARIANT* result, UINT* argumentError) {
  if (HRESULT hr = load(); FAILED(hr)) return hr;
  if ((flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) == 0) return DISP_E_MEMBERNOTFOUND;
  DISPPARAMS none{};
  if (params == nullptr) params = &none;
  if (params->cNamedArgs > 0) return DISP_E_NONAMEDARGS;
  // A count without the arguments it counts cannot be read.
  if (params->cArgs > 0 && params->rgvarg == nullptr) return DISP_E_BADPARAMCOUNT;

  UniqueFuncDesc found;
  if (HRESULT hr = findFunction(interfaceInfo_.Get(), id, found); FAILED(hr)) return hr;
  const FUNCDESC* const function = found.get().description;
  const UINT total = static_cast<UINT>(function->cParams);
  const UINT declaredCount = hasResult(*function) ? total - 1 : total;
  const UINT supplied = params->cArgs;
  if (supplied > declaredCount) return DISP_E_BADPARAMCOUNT;

  beforeArgumentConversion(id);
  // rgvarg holds the arguments last first.
  std::vector<CallArgument> arguments(total);
  for (UINT i = 0; i < total; ++i) {
    DeclaredParameter declared;
    if (HRESULT hr = declaredParameter(interfaceInfo_.Get(), function->lprgelemdescParam[i], declared); FAILED(hr)) {
      return hr;
    }
    if (i == declaredCount) {
      arguments[i].prepareResult(declared);
      continue;
    }
    VARIANT* given = i < supplied ? &params->rgvarg[supplied - 1 - i] : nullptr;
    if (HRESULT hr = arguments[i].prepare(declared, given, locale); FAILED(hr)) {
      if (argumentError != nullptr && given != nullptr) *argumentError = supplied - 1 - i;
      return hr == DISP_E_PARAMNOTOPTIONAL ? DISP_E_PARAMNOTOPTIONAL : DISP_E_TYPEMISMATCH;
    }
  }

  std::vector<VARTYPE> types(total);
  std::vector<VARIANTARG*> values(total);
  for (UINT i = 0; i < total; ++i) {
    types[i] = arguments[i].callType();
    values[i] = arguments[i].callValue();
  }
  platform::UniqueVariant returned;
  HRESULT hr = DispCallFunc(target, function->oVft, CC_STDCALL, VT_ERROR, total, types.data(), values.data(),
                            returned.get());
  if (FAILED(hr)) return hr;
  if (FAILED(returned->scode)) return returned->scode;

  for (UINT i = 0; i < declaredCount; ++i) arguments[i].writeBack();
  if (result != nullptr) {
    VariantInit(result);
    if (declaredCount < total) arguments[declaredCount].moveValueTo(result);
  }
  return S_OK;
}

}  // namespace orv::com
