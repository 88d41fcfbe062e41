#pragma once
// The COM object clsOrvAcctMan: the dual interface _clsOrvAcctMan over the portable class.
// It converts arguments, calls the class, writes back by-reference arguments and returns S_OK;
// all behaviour lives in orv::clsOrvAcctMan.
#include <windows.h>
#include <wrl/client.h>

#include "com/com_object.h"
#include "com/dispatch_invoker.h"
#include "component/clsOrvAcctMan.h"
#include "interface_methods.h"
#include "orvacctman_idl.h"

namespace orv::com {

class AccountManagerObject final : public ComObject<_clsOrvAcctMan> {
 public:
  explicit AccountManagerObject(Services services);

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argumentError) override;

  // _clsOrvAcctMan, in vtable order
#define ORVACCT_DECLARE_METHOD(name, dispid, arguments, parameters) HRESULT STDMETHODCALLTYPE name parameters override;
  ORVACCT_INTERFACE_METHODS(ORVACCT_DECLARE_METHOD)
#undef ORVACCT_DECLARE_METHOD

 private:
  // IDispatch and all seven interface identifiers give this one interface.
  bool answersTo(REFIID iid) const override;

  // Its destructor runs Close_Session and swallows whatever escapes it.
  clsOrvAcctMan core_;
  DispatchInvoker dispatch_;
};

}  // namespace orv::com
