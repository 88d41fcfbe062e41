#pragma once
// The stand-ins' common ground: steering read at every call, the journal, the count of live
// objects, failure delivery the way real servers do it, and the one stand-in object. Each kind
// of object is a table (its interfaces, and per member: what it journals, the failure point it
// honours, what it answers); the object serves IUnknown, IDispatch and the vtable slots from it.
#include <windows.h>
#include <oleauto.h>

#include <array>
#include <atomic>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "standin_protocol.h"

namespace orv::standins {

// The classes and interfaces the component asks for. Outlook's identifiers differ only in
// their first field, and so do CDO's.
constexpr GUID outlookGuid(unsigned long first) { return {first, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}}; }
constexpr GUID cdoGuid(unsigned long first) {
  return {first, 0x6438, 0x101B, {0xAC, 0xC1, 0, 0xAA, 0, 0x42, 0x33, 0x26}};
}
inline constexpr CLSID kApplicationClass = outlookGuid(0x0006F03A);
inline constexpr IID kApplicationInterface = outlookGuid(0x00063001);
inline constexpr IID kNamespaceInterface = outlookGuid(0x00063002);
inline constexpr IID kAddressEntryInterface = outlookGuid(0x0006304B);
inline constexpr CLSID kSessionClass = cdoGuid(0x3FA7DEB3);
inline constexpr IID kSessionInterface = cdoGuid(0x3FA7DEA8);
inline constexpr CLSID kCurrentUserClass = {
    0x7ED1E9B1, 0xCB57, 0x4FA0, {0x84, 0xE8, 0xFA, 0xE6, 0x53, 0xFE, 0x8E, 0x6B}};
inline constexpr IID kCurrentUserInterface = {
    0xD7E6FB7C, 0xA22F, 0x4A9D, {0xA8, 0x9D, 0x65, 0x3D, 0x1A, 0xA3, 0x73, 0x24}};

inline constexpr WORD kMethod = DISPATCH_METHOD;
inline constexpr WORD kProperty = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

struct Steering {
  std::set<std::string, std::less<>> failing;
  std::string userName{kDefaultUserName};
  std::optional<LONG> offlineFlags = 1;
  std::optional<bool> storeOffline = true;
  bool publicFoldersMissing = false;

  bool fails(std::string_view point) const { return failing.find(point) != failing.end(); }
};
Steering currentSteering();

void journal(const std::string& line);
std::string utf8(const wchar_t* text, int length = -1);
std::wstring wide(const std::string& text);
std::string hex(unsigned long value);
std::string interfaceName(REFIID iid);
std::string describe(const VARIANT& value);

// Objects alive now (class factories not counted).
extern std::atomic<long> aliveObjects;

// Failure of a creation or a name look-up: the HRESULT alone.
HRESULT failWithResult(std::string_view point);
// Failure of an early-bound call: IErrorInfo set for the calling thread, HRESULT returned.
HRESULT failThroughErrorInfo(std::string_view point, REFIID calledInterface);
// Failure of a dispatch call: EXCEPINFO filled, DISP_E_EXCEPTION returned.
HRESULT failThroughException(std::string_view point, EXCEPINFO* exception);

class StandIn;

// A call that came as the member expects and is not steered to fail.
struct Request {
  StandIn& self;
  const Steering& steering;
  const VARIANT* arguments;  // in their natural order
  VARIANT* result;           // nullptr when the caller wants none
};
// Fills the result and says whether it could; if not, the member fails at its point.
using Answer = bool (*)(const Request& request);

struct Member {
  std::string name;                // journalled as KIND.NAME
  DISPID id;                       // the vtable slot (early bound) or the DISPID
  WORD flags;                      // the dispatch flags it must come with; 0 through a slot
  std::vector<VARTYPE> arguments;  // their types; through a slot only strings
  VARTYPE returns;                 // through a slot, VT_BSTR or VT_DISPATCH into a last argument
  std::string point;               // the failure point it honours
  Answer answer;                   // nullptr: the component must never call it
};

// How the component reaches a kind of object, and so how its failures travel.
enum class Reached {
  bySlot,    // Outlook: early bound; ISupportErrorInfo and IErrorInfo; Invoke is unexpected
  byDispid,  // CDO: Invoke with fixed DISPIDs; failures in EXCEPINFO; GetIDsOfNames is unexpected
  byName,    // CDO, as byDispid, but its members' DISPIDs come only from GetIDsOfNames
};

using Slot = void (*)();                   // a vtable entry, of whatever signature
inline constexpr std::size_t kSlots = 33;  // IUnknown 0-2, IDispatch 3-6, Outlook's members on

struct Kind {
  Kind(std::string name, Reached reached, std::vector<IID> interfaces, std::vector<Member> members);
  const Member* member(DISPID id) const;
  bool implements(REFIID iid) const;

  std::string name;
  Reached reached;
  std::vector<IID> interfaces;  // beside IUnknown and IDispatch; the first is the one called
  std::vector<Member> members;
  std::array<Slot, kSlots> vtable;  // slots without a member take no arguments
};

// ISupportErrorInfo of an early-bound stand-in, answering for the interfaces of its kind.
class ErrorInfoSupport final : public ISupportErrorInfo {
 public:
  explicit ErrorInfoSupport(StandIn& outer) : outer_(outer) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

 private:
  StandIn& outer_;
};

// One stand-in object of any kind. The vtable pointer comes first, so the object is its own
// interface pointer; the entries take it as their first argument, as COM passes `this`.
class StandIn {
  const Slot* vtable_;
  const Kind& kind_;
  std::atomic<ULONG> references_{1};
  ErrorInfoSupport errors_{*this};

 public:
  explicit StandIn(const Kind& kind, VARIANT held = VARIANT{});  // the creator's reference
  ~StandIn();
  StandIn(const StandIn&) = delete;
  StandIn& operator=(const StandIn&) = delete;

  IDispatch* dispatch() { return reinterpret_cast<IDispatch*>(this); }
  const Kind& kind() const { return kind_; }

  static HRESULT STDMETHODCALLTYPE QueryInterface(StandIn* self, REFIID iid, void** object);
  static ULONG STDMETHODCALLTYPE AddRef(StandIn* self);
  static ULONG STDMETHODCALLTYPE Release(StandIn* self);
  static HRESULT STDMETHODCALLTYPE GetTypeInfoCount(StandIn* self, UINT* count);
  static HRESULT STDMETHODCALLTYPE GetTypeInfo(StandIn* self, UINT, LCID, ITypeInfo** info);
  static HRESULT STDMETHODCALLTYPE GetIDsOfNames(StandIn* self, REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                                 DISPID* ids);
  static HRESULT STDMETHODCALLTYPE Invoke(StandIn* self, DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                          VARIANT* result, EXCEPINFO* exception, UINT*);
  // Slot 7 on, with the slot's arguments, each pointer-sized.
  static HRESULT CallSlot(StandIn* self, DISPID slot, std::initializer_list<void*> pointers);

  // What the object keeps: a Session its log-on, a Folder, InfoStore or Fields the tag of the
  // property it reads, a Field its value (VT_I4 or VT_BOOL: nothing to free).
  VARIANT held;

 private:
  HRESULT call(const Member& member, WORD flags, const std::vector<VARIANT>& arguments, bool namedArguments,
               VARIANT* result, EXCEPINFO* exception);
  HRESULT unexpected(const std::string& what);
};

// The stand-ins alive now, to recognise one handed back to a stand-in.
std::set<const StandIn*>& liveStandIns();

// A new object of that kind as the result (released at once when none is wanted).
bool handOut(const Kind& kind, VARIANT held, VARIANT* result);
// For the class factories.
HRESULT create(const Kind& kind, REFIID iid, void** object);

extern const Kind kApplication, kNameSpace, kCurrentUser, kSession;
bool sessionLoggedOn();

}  // namespace orv::standins
