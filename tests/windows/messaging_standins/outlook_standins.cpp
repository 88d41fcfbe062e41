// Outlook's _Application and _NameSpace, and the current-user object (Outlook's AddressEntry),
// as dual interfaces laid out slot by slot as Outlook's type library has them: slots 0-2
// IUnknown, 3-6 IDispatch, then the members in order. Only the members the component calls
// are implemented; any other slot, and IDispatch::Invoke (the component binds early), is
// journalled as unexpected. Unexpected slots take no arguments here: on 32-bit x86 a call
// with arguments through one of them would unbalance the caller's stack, after the journal has
// recorded it.
#include "standins.h"

// A vtable slot the component must never call.
#define STANDIN_UNEXPECTED_SLOT(n) \
  virtual HRESULT STDMETHODCALLTYPE slot##n() { return unexpected("slot " #n); }

namespace orv::standins {
namespace {

std::wstring wide(const std::string& text) {
  std::wstring result(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0)), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, result.data(), static_cast<int>(result.size()));
  if (!result.empty()) result.pop_back();
  return result;
}

class NameSpace final : public StandInObject<NameSpace> {
 public:
  NameSpace() : StandInObject("NameSpace") { liveNamespaces().insert(static_cast<IDispatch*>(this)); }
  ~NameSpace() { liveNamespaces().erase(static_cast<IDispatch*>(this)); }

  void* find(REFIID iid) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kNamespaceInterface))
      return static_cast<IDispatch*>(this);
    if (IsEqualIID(iid, IID_ISupportErrorInfo)) return &errors_;
    return nullptr;
  }
  HRESULT invoke(DISPID member, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*) {
    unexpected("Invoke dispid " + std::to_string(member));
    return DISP_E_MEMBERNOTFOUND;
  }

  STANDIN_UNEXPECTED_SLOT(7)
  STANDIN_UNEXPECTED_SLOT(8)
  STANDIN_UNEXPECTED_SLOT(9)
  STANDIN_UNEXPECTED_SLOT(10)
  STANDIN_UNEXPECTED_SLOT(11)
  STANDIN_UNEXPECTED_SLOT(12)
  STANDIN_UNEXPECTED_SLOT(13)
  STANDIN_UNEXPECTED_SLOT(14)
  STANDIN_UNEXPECTED_SLOT(15)
  STANDIN_UNEXPECTED_SLOT(16)
  STANDIN_UNEXPECTED_SLOT(17)
  STANDIN_UNEXPECTED_SLOT(18)
  STANDIN_UNEXPECTED_SLOT(19)
  STANDIN_UNEXPECTED_SLOT(20)
  // Slot 21, DISPID 8454.
  virtual HRESULT STDMETHODCALLTYPE Logoff() {
    journal("call NameSpace.Logoff() slot 21");
    if (currentSteering().fails("NameSpace.Logoff"))
      return failThroughErrorInfo("NameSpace.Logoff", kNamespaceInterface);
    return S_OK;
  }
  STANDIN_UNEXPECTED_SLOT(22)
  STANDIN_UNEXPECTED_SLOT(23)
  STANDIN_UNEXPECTED_SLOT(24)
  STANDIN_UNEXPECTED_SLOT(25)
  STANDIN_UNEXPECTED_SLOT(26)
  STANDIN_UNEXPECTED_SLOT(27)
  STANDIN_UNEXPECTED_SLOT(28)
  STANDIN_UNEXPECTED_SLOT(29)
  STANDIN_UNEXPECTED_SLOT(30)
  STANDIN_UNEXPECTED_SLOT(31)
  STANDIN_UNEXPECTED_SLOT(32)

 private:
  ErrorInfoSupport errors_{*this, {kNamespaceInterface}};
};

class Application final : public StandInObject<Application> {
 public:
  Application() : StandInObject("Application") {}

  void* find(REFIID iid) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kApplicationInterface))
      return static_cast<IDispatch*>(this);
    if (IsEqualIID(iid, IID_ISupportErrorInfo)) return &errors_;
    return nullptr;
  }
  HRESULT invoke(DISPID member, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*) {
    unexpected("Invoke dispid " + std::to_string(member));
    return DISP_E_MEMBERNOTFOUND;
  }

  STANDIN_UNEXPECTED_SLOT(7)
  STANDIN_UNEXPECTED_SLOT(8)
  STANDIN_UNEXPECTED_SLOT(9)
  STANDIN_UNEXPECTED_SLOT(10)
  STANDIN_UNEXPECTED_SLOT(11)
  STANDIN_UNEXPECTED_SLOT(12)
  STANDIN_UNEXPECTED_SLOT(13)
  STANDIN_UNEXPECTED_SLOT(14)
  STANDIN_UNEXPECTED_SLOT(15)
  STANDIN_UNEXPECTED_SLOT(16)
  STANDIN_UNEXPECTED_SLOT(17)
  STANDIN_UNEXPECTED_SLOT(18)
  // Slot 19, DISPID 272.
  virtual HRESULT STDMETHODCALLTYPE GetNamespace(BSTR type, IDispatch** result) {
    journal("call Application.GetNamespace(VT_BSTR \"" + utf8(type, static_cast<int>(SysStringLen(type))) +
            "\") slot 19");
    if (result == nullptr) return E_POINTER;
    *result = nullptr;
    if (currentSteering().fails("GetNamespace")) return failThroughErrorInfo("GetNamespace", kApplicationInterface);
    *result = new NameSpace;
    return S_OK;
  }
  // Slot 20: Outlook must never be told to quit.
  virtual HRESULT STDMETHODCALLTYPE Quit() { return unexpected("Quit slot 20"); }
  STANDIN_UNEXPECTED_SLOT(21)
  STANDIN_UNEXPECTED_SLOT(22)
  STANDIN_UNEXPECTED_SLOT(23)
  STANDIN_UNEXPECTED_SLOT(24)
  STANDIN_UNEXPECTED_SLOT(25)
  STANDIN_UNEXPECTED_SLOT(26)
  STANDIN_UNEXPECTED_SLOT(27)
  STANDIN_UNEXPECTED_SLOT(28)
  STANDIN_UNEXPECTED_SLOT(29)
  STANDIN_UNEXPECTED_SLOT(30)
  STANDIN_UNEXPECTED_SLOT(31)
  STANDIN_UNEXPECTED_SLOT(32)

 private:
  ErrorInfoSupport errors_{*this, {kApplicationInterface}};
};

// AddressEntry, extended by the current-user interface.
class CurrentUser final : public StandInObject<CurrentUser> {
 public:
  CurrentUser() : StandInObject("CurrentUser") {}

  void* find(REFIID iid) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kAddressEntryInterface) ||
        IsEqualIID(iid, kCurrentUserInterface))
      return static_cast<IDispatch*>(this);
    if (IsEqualIID(iid, IID_ISupportErrorInfo)) return &errors_;
    return nullptr;
  }
  HRESULT invoke(DISPID member, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*) {
    unexpected("Invoke dispid " + std::to_string(member));
    return DISP_E_MEMBERNOTFOUND;
  }

  STANDIN_UNEXPECTED_SLOT(7)
  STANDIN_UNEXPECTED_SLOT(8)
  STANDIN_UNEXPECTED_SLOT(9)
  STANDIN_UNEXPECTED_SLOT(10)
  STANDIN_UNEXPECTED_SLOT(11)
  STANDIN_UNEXPECTED_SLOT(12)
  STANDIN_UNEXPECTED_SLOT(13)
  STANDIN_UNEXPECTED_SLOT(14)
  STANDIN_UNEXPECTED_SLOT(15)
  STANDIN_UNEXPECTED_SLOT(16)
  STANDIN_UNEXPECTED_SLOT(17)
  STANDIN_UNEXPECTED_SLOT(18)
  // Slot 19, DISPID 12289: the name, empty unless a CDO session is logged on.
  virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) {
    journal("call CurrentUser.Name() slot 19");
    if (name == nullptr) return E_POINTER;
    *name = nullptr;
    const Steering steering = currentSteering();
    if (steering.fails("Name")) return failThroughErrorInfo("Name", kCurrentUserInterface);
    *name = SysAllocString(loggedOnSessions > 0 ? wide(steering.userName).c_str() : L"");
    return S_OK;
  }
  // Slot 20: Name put.
  virtual HRESULT STDMETHODCALLTYPE put_Name(BSTR) { return unexpected("Name put slot 20"); }
  STANDIN_UNEXPECTED_SLOT(21)
  STANDIN_UNEXPECTED_SLOT(22)
  STANDIN_UNEXPECTED_SLOT(23)
  STANDIN_UNEXPECTED_SLOT(24)
  STANDIN_UNEXPECTED_SLOT(25)
  STANDIN_UNEXPECTED_SLOT(26)
  STANDIN_UNEXPECTED_SLOT(27)
  STANDIN_UNEXPECTED_SLOT(28)
  STANDIN_UNEXPECTED_SLOT(29)
  STANDIN_UNEXPECTED_SLOT(30)
  STANDIN_UNEXPECTED_SLOT(31)
  STANDIN_UNEXPECTED_SLOT(32)

 private:
  ErrorInfoSupport errors_{*this, {kAddressEntryInterface, kCurrentUserInterface}};
};

template <class Object>
HRESULT handOut(Object* created, REFIID iid, void** object) {
  const HRESULT result = created->QueryInterface(iid, object);
  created->Release();
  return result;
}

}  // namespace

HRESULT createApplication(REFIID iid, void** object) { return handOut(new Application, iid, object); }
HRESULT createCurrentUser(REFIID iid, void** object) { return handOut(new CurrentUser, iid, object); }

}  // namespace orv::standins
