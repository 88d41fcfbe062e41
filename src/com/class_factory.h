#pragma once
// The class object of clsOrvAcctMan. It lives as long as a client holds it and counts as a
// live object for DllCanUnloadNow.
#include <windows.h>
#include <unknwn.h>

#include "com/com_object.h"

namespace orv::com {

class ClassFactory final : public ComObject<IClassFactory> {
 public:
  ClassFactory() = default;

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  bool answersTo(REFIID iid) const override { return IsEqualIID(iid, IID_IClassFactory); }
};

}  // namespace orv::com
