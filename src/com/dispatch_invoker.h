#pragma once
// Late binding for _clsOrvAcctMan, driven by the type library in this DLL's resources but with
// its own argument handling: every argument (plain, VT_BYREF, or VBScript's VT_BYREF|VT_VARIANT)
// is converted to a temporary of the declared type, omitted optional arguments become their
// default or the empty value of their type, the vtable method is called, and by-reference
// results are written back into the caller's variables.
#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

namespace orv::com {

class DispatchInvoker {
 public:
  HRESULT dispatchTypeInfo(ITypeInfo** info);
  HRESULT idsOfNames(LPOLESTR* names, UINT count, DISPID* ids);
  HRESULT invoke(IUnknown* target, DISPID id, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                 UINT* argumentError);

 private:
  HRESULT load();

  Microsoft::WRL::ComPtr<ITypeInfo> dispatchInfo_;   // what GetTypeInfo hands out
  Microsoft::WRL::ComPtr<ITypeInfo> interfaceInfo_;  // the vtable side: offsets and parameter types
};

}  // namespace orv::com
