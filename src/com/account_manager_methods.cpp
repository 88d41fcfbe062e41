// The wired methods of _clsOrvAcctMan: arguments in, the portable class called, by-reference
// arguments written back where the class changed them, S_OK out.
#include "com/account_manager_object.h"
#include "com/bstr.h"
#include "com/com_call.h"
#include "com/out_values.h"

namespace orv::com {

// The key and the plain password live in the secret type from the caller's BSTR to the class
// and back; sPwd of DeCrypt_Pwd is cipher text.
HRESULT AccountManagerObject::DeCrypt_Pwd(BSTR* sPwd, BSTR* sKey, BSTR* result) {
  clearOut(result);
  return comCall([&] {
    const std::u16string before = fromBstrRef(sPwd);
    std::u16string pwd = before;
    const SecretText plain = core_.DeCrypt_Pwd(pwd, secretFromBstrRef(sKey));
    writeBack(sPwd, before, pwd);
    setResult(result, plain.view());
  });
}

HRESULT AccountManagerObject::EnCrypt_Pwd(BSTR* sPwd, BSTR* sKey, BSTR* result) {
  clearOut(result);
  return comCall([&] { setResult(result, core_.EnCrypt_Pwd(secretFromBstrRef(sPwd), secretFromBstrRef(sKey))); });
}

HRESULT AccountManagerObject::CreateGUID(BSTR* result) {
  clearOut(result);
  return comCall([&] { setResult(result, core_.CreateGUID()); });
}

HRESULT AccountManagerObject::DeTick(BSTR* sTicked, BSTR* result) {
  clearOut(result);
  return comCall([&] { setResult(result, core_.DeTick(fromBstrRef(sTicked))); });
}

HRESULT AccountManagerObject::LogErrors(BSTR* sAppPath, BSTR* sAppExeName, LONG* lngErrNumber,
                                        BSTR* strErrDescription, BSTR* strErrModule, BSTR* strErrProcedure,
                                        BSTR* sMajor, BSTR* sMinor, BSTR* sRevision) {
  return comCall([&] {
    core_.LogErrors(fromBstrRef(sAppPath), fromBstrRef(sAppExeName), valueOf(lngErrNumber),
                    fromBstrRef(strErrDescription), fromBstrRef(strErrModule), fromBstrRef(strErrProcedure),
                    fromBstrRef(sMajor), fromBstrRef(sMinor), fromBstrRef(sRevision));
  });
}

HRESULT AccountManagerObject::PurgeLogs(BSTR* sAppPath, BSTR* sAppExeName) {
  return comCall([&] { core_.PurgeLogs(fromBstrRef(sAppPath), fromBstrRef(sAppExeName)); });
}

HRESULT AccountManagerObject::Create_Session(VARIANT_BOOL* result) {
  clearOut(result);
  return comCall([&] { setResult(result, core_.Create_Session()); });
}

HRESULT AccountManagerObject::Close_Session() {
  return comCall([&] { core_.Close_Session(); });
}

HRESULT AccountManagerObject::ShowAbout(BSTR* sAppName, BSTR* sVer) {
  return comCall([&] { core_.ShowAbout(fromBstrRef(sAppName), fromBstrRef(sVer)); });
}

HRESULT AccountManagerObject::CheckState(VARIANT_BOOL* result) {
  clearOut(result);
  return comCall([&] { setResult(result, core_.CheckState()); });
}

}  // namespace orv::com
