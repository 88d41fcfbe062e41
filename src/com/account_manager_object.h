#pragma once
// The COM object clsOrvAcctMan: the dual interface _clsOrvAcctMan over the portable class.
// It converts arguments, calls the class, writes back by-reference arguments and returns S_OK;
// all behaviour lives in orv::clsOrvAcctMan.
#include <windows.h>
#include <wrl/client.h>

#include "com/com_object.h"
#include "com/dispatch_invoker.h"
#include "component/clsOrvAcctMan.h"
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
  HRESULT STDMETHODCALLTYPE DeCrypt_Pwd(BSTR* sPwd, BSTR* sKey, BSTR* result) override;
  HRESULT STDMETHODCALLTYPE EnCrypt_Pwd(BSTR* sPwd, BSTR* sKey, BSTR* result) override;
  HRESULT STDMETHODCALLTYPE CreateGUID(BSTR* result) override;
  HRESULT STDMETHODCALLTYPE Reg_DeleteValue(::HKeyHive* hKey, BSTR strPath, BSTR strValue) override;
  HRESULT STDMETHODCALLTYPE Reg_DeleteKey(::HKeyHive* hKey, BSTR strPath) override;
  HRESULT STDMETHODCALLTYPE Reg_CreateKey(::HKeyHive* hKey, BSTR* strPath) override;
  HRESULT STDMETHODCALLTYPE Reg_GetSettingString(::HKeyHive* hKey, BSTR* strPath, BSTR* strValue, BSTR* Default,
                                                 BSTR* result) override;
  HRESULT STDMETHODCALLTYPE Reg_SaveSettingString(::HKeyHive* hKey, BSTR* strPath, BSTR* strValue,
                                                  BSTR* strData) override;
  HRESULT STDMETHODCALLTYPE DeTick(BSTR* sTicked, BSTR* result) override;
  HRESULT STDMETHODCALLTYPE LogErrors(BSTR* sAppPath, BSTR* sAppExeName, LONG* lngErrNumber, BSTR* strErrDescription,
                                      BSTR* strErrModule, BSTR* strErrProcedure, BSTR* sMajor, BSTR* sMinor,
                                      BSTR* sRevision) override;
  HRESULT STDMETHODCALLTYPE PurgeLogs(BSTR* sAppPath, BSTR* sAppExeName) override;
  HRESULT STDMETHODCALLTYPE Create_Session(VARIANT_BOOL* result) override;
  HRESULT STDMETHODCALLTYPE Close_Session() override;
  HRESULT STDMETHODCALLTYPE ShowAbout(BSTR* sAppName, BSTR* sVer) override;
  HRESULT STDMETHODCALLTYPE Reg_GetSettingDWord(::HKeyHive* hKey, BSTR* strPath, BSTR* strValue, LONG* Default,
                                                LONG* result) override;
  HRESULT STDMETHODCALLTYPE Reg_SaveSettingDWord(::HKeyHive* hKey, BSTR* strPath, BSTR* strValue,
                                                 LONG* lngData) override;
  HRESULT STDMETHODCALLTYPE Reg_GetSettingBinary(::HKeyHive* hKey, BSTR* strPath, BSTR* strValue,
                                                 BSTR* result) override;
  HRESULT STDMETHODCALLTYPE Reg_SaveSettingBinary(::HKeyHive* hKey, BSTR* strPath, BSTR* strValue,
                                                  BSTR* strData) override;
  HRESULT STDMETHODCALLTYPE CheckState(VARIANT_BOOL* result) override;

 private:
  // IDispatch and all seven interface identifiers give this one interface.
  bool answersTo(REFIID iid) const override;

  // Its destructor runs Close_Session and swallows whatever escapes it.
  clsOrvAcctMan core_;
  DispatchInvoker dispatch_;
};

}  // namespace orv::com
