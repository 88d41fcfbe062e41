// CDO 1.x's Session, Folder, InfoStore, Fields and Field as plain IDispatch, each member
// checking its dispatch flags and the types of its arguments. Session, Folder and InfoStore
// answer fixed DISPIDs and no names; Fields.Item and Field.Value answer only by name, with
// DISPIDs drawn once per process. Anything else is journalled as unexpected and refused.
#include <initializer_list>
#include <random>
#include <vector>

#include "standins.h"

namespace orv::standins {
namespace {

constexpr WORD kMethod = DISPATCH_METHOD;
constexpr WORD kProperty = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

std::string flagsText(WORD flags) {
  if (flags == kMethod) return "METHOD";
  if (flags == kProperty) return "METHOD|PROPERTYGET";
  return "flags " + hex(flags);
}

// Arguments in their natural order (DISPPARAMS holds them last first).
std::vector<VARIANT> argumentsOf(const DISPPARAMS* parameters) {
  std::vector<VARIANT> arguments;
  if (parameters == nullptr) return arguments;
  for (UINT i = parameters->cArgs; i > 0; --i) arguments.push_back(parameters->rgvarg[i - 1]);
  return arguments;
}

// Journals the call; refuses it unless flags and argument types are exactly as expected.
HRESULT checkCall(const std::string& member, WORD flags, WORD expectedFlags, const DISPPARAMS* parameters,
                  std::initializer_list<VARTYPE> expectedTypes) {
  const std::vector<VARIANT> arguments = argumentsOf(parameters);
  std::string line = member + "(";
  for (std::size_t i = 0; i < arguments.size(); ++i) line += (i > 0 ? ", " : "") + describe(arguments[i]);
  line += ") " + flagsText(flags);
  bool typesMatch = arguments.size() == expectedTypes.size() && (parameters == nullptr || parameters->cNamedArgs == 0);
  for (std::size_t i = 0; typesMatch && i < arguments.size(); ++i)
    typesMatch = arguments[i].vt == expectedTypes.begin()[i];
  if (flags != expectedFlags || !typesMatch) {
    journal("unexpected " + line);
    return flags != expectedFlags ? DISP_E_MEMBERNOTFOUND : DISP_E_TYPEMISMATCH;
  }
  journal("call " + line);
  return S_OK;
}

template <class Object>
HRESULT returnObject(Object* created, VARIANT* result) {
  if (result == nullptr) {
    created->Release();
    return S_OK;
  }
  VariantInit(result);
  result->vt = VT_DISPATCH;
  result->pdispVal = created;  // the caller's reference
  return S_OK;
}

// A plain IDispatch stand-in: IUnknown and IDispatch only.
template <class Derived>
class CdoObject : public StandInObject<Derived> {
 public:
  void* find(REFIID iid) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) return static_cast<IDispatch*>(this);
    return nullptr;
  }

 protected:
  using StandInObject<Derived>::StandInObject;

  HRESULT unknownMember(DISPID member, WORD flags) {
    this->unexpected("Invoke dispid " + std::to_string(member) + " " + flagsText(flags));
    return DISP_E_MEMBERNOTFOUND;
  }
};

// Far from every fixed identifier, and different in every process: a caller cannot guess it.
DISPID drawnDispid() {
  static std::mt19937 generator = [] {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    std::seed_seq seed{GetCurrentProcessId(), GetTickCount(), now.LowPart, static_cast<DWORD>(now.HighPart)};
    return std::mt19937(seed);
  }();
  return std::uniform_int_distribution<DISPID>(1000, 0x3FFFFFFF)(generator);
}
const DISPID kItemDispid = drawnDispid();
const DISPID kValueDispid = drawnDispid();

// A CDO object whose one member is reached by name: GetIDsOfNames answers it, as a script host
// asks (IID_NULL, one name, the user's default locale), whatever the case of the name.
template <class Derived>
class NamedMemberObject : public CdoObject<Derived> {
 public:
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override {
    if (names == nullptr || ids == nullptr || count == 0) return E_INVALIDARG;
    const std::string call = this->kind() + ".GetIDsOfNames(\"" + utf8(names[0]) + "\")";
    if (!IsEqualIID(iid, IID_NULL) || count != 1 || (locale != LOCALE_USER_DEFAULT && locale != 0) ||
        lstrcmpiW(names[0], name_) != 0) {
      journal("unexpected " + call + " count " + std::to_string(count) + " locale " + hex(locale));
      for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
      return DISP_E_UNKNOWNNAME;
    }
    journal("call " + call);
    const std::string point = this->kind() + ".GetIDsOfNames";
    if (currentSteering().fails(point)) return failWithResult(point);
    *ids = id_;
    return S_OK;
  }

 protected:
  NamedMemberObject(std::string kind, const wchar_t* name, DISPID id)
      : CdoObject<Derived>(std::move(kind)), name_(name), id_(id) {}

  bool isNamedMember(DISPID member) const { return member == id_; }

 private:
  const wchar_t* name_;
  DISPID id_;
};

class Field final : public NamedMemberObject<Field> {
 public:
  explicit Field(VARIANT value) : NamedMemberObject("Field", L"Value", kValueDispid), value_(value) {}

  HRESULT invoke(DISPID member, WORD flags, DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception) {
    if (!isNamedMember(member)) return unknownMember(member, flags);
    if (const HRESULT refused = checkCall("Field.Value", flags, kProperty, parameters, {}); FAILED(refused))
      return refused;
    if (currentSteering().fails("Field.Value")) return failThroughException("Field.Value", exception);
    if (result != nullptr) *result = value_;
    return S_OK;
  }

 private:
  VARIANT value_;  // VT_I4 or VT_BOOL: nothing to free
};

class Fields final : public NamedMemberObject<Fields> {
 public:
  explicit Fields(bool ofStore) : NamedMemberObject("Fields", L"Item", kItemDispid), ofStore_(ofStore) {}

  HRESULT invoke(DISPID member, WORD flags, DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception) {
    if (!isNamedMember(member)) return unknownMember(member, flags);
    if (const HRESULT refused = checkCall("Fields.Item", flags, kProperty, parameters, {VT_I4}); FAILED(refused))
      return refused;
    const Steering steering = currentSteering();
    if (steering.fails("Fields.Item")) return failThroughException("Fields.Item", exception);
    const ULONG tag = static_cast<ULONG>(parameters->rgvarg[0].lVal);
    VARIANT value;
    VariantInit(&value);
    if (!ofStore_ && tag == 0x663D0003 && steering.offlineFlags) {
      value.vt = VT_I4;
      value.lVal = *steering.offlineFlags;
    } else if (ofStore_ && tag == 0x6632000B && steering.storeOffline) {
      value.vt = VT_BOOL;
      value.boolVal = *steering.storeOffline ? VARIANT_TRUE : VARIANT_FALSE;
    } else {
      journal("missing property " + hex(tag));
      return failThroughException("Fields.Item", exception);
    }
    return returnObject(new Field(value), result);
  }

 private:
  bool ofStore_;
};

// A Folder or an InfoStore: both only hand out their Fields here.
class FieldOwner final : public CdoObject<FieldOwner> {
 public:
  explicit FieldOwner(bool isStore) : CdoObject(isStore ? "InfoStore" : "Folder"), isStore_(isStore) {}

  HRESULT invoke(DISPID member, WORD flags, DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception) {
    if (member != 12) return unknownMember(member, flags);
    if (const HRESULT refused = checkCall(kind() + ".Fields", flags, kProperty, parameters, {}); FAILED(refused))
      return refused;
    if (currentSteering().fails("Fields")) return failThroughException("Fields", exception);
    return returnObject(new Fields(isStore_), result);
  }

 private:
  bool isStore_;
};

class Session final : public CdoObject<Session> {
 public:
  Session() : CdoObject("Session") {}
  ~Session() {
    if (loggedOn_) --loggedOnSessions;  // a released session's log-on ends with it
  }

  void* find(REFIID iid) {
    if (IsEqualIID(iid, kSessionInterface)) return static_cast<IDispatch*>(this);
    return CdoObject::find(iid);
  }

  HRESULT invoke(DISPID member, WORD flags, DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception) {
    const Steering steering = currentSteering();
    switch (member) {
      case 119: {
        const HRESULT refused =
            checkCall("Session.Logon", flags, kMethod, parameters, {VT_DISPATCH, VT_BSTR, VT_BOOL, VT_BOOL});
        if (FAILED(refused)) return refused;
        if (steering.fails("Logon")) return failThroughException("Logon", exception);
        if (!loggedOn_) ++loggedOnSessions;
        loggedOn_ = true;
        return S_OK;
      }
      case 118: {
        if (const HRESULT refused = checkCall("Session.Logoff", flags, kMethod, parameters, {}); FAILED(refused))
          return refused;
        if (steering.fails("Session.Logoff")) return failThroughException("Session.Logoff", exception);
        if (loggedOn_) --loggedOnSessions;
        loggedOn_ = false;
        return S_OK;
      }
      case 153: {
        const HRESULT refused = checkCall("Session.GetDefaultFolder", flags, kMethod, parameters, {VT_I2});
        if (FAILED(refused)) return refused;
        if (steering.fails("GetDefaultFolder") || parameters->rgvarg[0].iVal != 5)
          return failThroughException("GetDefaultFolder", exception);
        return returnObject(new FieldOwner(false), result);
      }
      case 57: {
        const HRESULT refused = checkCall("Session.InfoStores", flags, kProperty, parameters, {VT_BSTR});
        if (FAILED(refused)) return refused;
        const BSTR name = parameters->rgvarg[0].bstrVal;
        if (steering.fails("InfoStores") || steering.publicFoldersMissing || name == nullptr ||
            std::wstring(name, SysStringLen(name)) != L"Public Folders")
          return failThroughException("InfoStores", exception);
        return returnObject(new FieldOwner(true), result);
      }
      default:
        return unknownMember(member, flags);
    }
  }

 private:
  bool loggedOn_ = false;
};

}  // namespace

HRESULT createSession(REFIID iid, void** object) {
  Session* created = new Session;
  const HRESULT result = created->QueryInterface(iid, object);
  created->Release();
  return result;
}

}  // namespace orv::standins
