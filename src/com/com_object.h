#pragma once
// The IUnknown every object of the server shares: the reference count, QueryInterface over the
// identifiers the object answers to, and the object's place in the module's count, held from
// construction to the end of destruction so DllCanUnloadNow never lets the DLL go under it.
#include <windows.h>
#include <unknwn.h>

#include <atomic>

#include "com/module_state.h"

namespace orv::com {

template <class Interface>
class ComObject : public Interface {
 public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !answersTo(iid)) return E_NOINTERFACE;
    *object = static_cast<Interface*>(this);
    AddRef();
    return S_OK;
  }

  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }

  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  ComObject() = default;  // the creator holds the first reference
  virtual ~ComObject() = default;

  // Every identifier but IUnknown that gives this object's one interface.
  virtual bool answersTo(REFIID iid) const = 0;

 private:
  ModuleObject inModule_;
  std::atomic<ULONG> references_{1};
};

}  // namespace orv::com
