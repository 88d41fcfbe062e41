#pragma once
// The class object of clsOrvAcctMan. It lives as long as a client holds it and counts as a
// live object for DllCanUnloadNow.
#include <windows.h>
#include <unknwn.h>

#include <atomic>

namespace orv::com {

class ClassFactory final : public IClassFactory {
 public:
  ClassFactory();
  ~ClassFactory();
  ClassFactory(const ClassFactory&) = delete;
  ClassFactory& operator=(const ClassFactory&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  std::atomic<ULONG> references_{1};
};

}  // namespace orv::com
