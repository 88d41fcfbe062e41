// CDO 1.x's Session, Folder, InfoStore, Fields and Field as plain IDispatch, each member
// checking its dispatch flags and the types of its arguments. Session, Folder and InfoStore
// answer fixed DISPIDs and no names; Fields.Item and Field.Value answer only by name, with
// DISPIDs drawn once per process.
#include <algorithm>
#include <random>

#include "standins.h"

namespace orv::standins {
namespace {

using enum Reached;

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

// The property a Folder, an InfoStore and their Fields hold: PR_OFFLINE_FLAGS of the contacts
// folder, PR_STORE_OFFLINE of the public store.
constexpr LONG kOfflineFlags = 0x663D0003;
constexpr LONG kStoreOffline = 0x6632000B;

VARIANT number(LONG value) {
  VARIANT result{};
  result.vt = VT_I4;
  result.lVal = value;
  return result;
}
VARIANT boolean(bool value) {
  VARIANT result{};
  result.vt = VT_BOOL;
  result.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return result;
}

extern const Kind kField, kFields, kFolder, kInfoStore;

bool hold(const Request& request, VARIANT held) {
  request.self.held = held;
  return true;
}
bool logOn(const Request& request) { return hold(request, boolean(true)); }
bool logOff(const Request& request) { return hold(request, boolean(false)); }
// The contacts folder only.
bool defaultFolder(const Request& request) {
  return request.arguments[0].iVal == 5 && handOut(kFolder, number(kOfflineFlags), request.result);
}
bool publicStore(const Request& request) {
  const BSTR name = request.arguments[0].bstrVal;
  return !request.steering.publicFoldersMissing && name != nullptr &&
         std::wstring(name, SysStringLen(name)) == L"Public Folders" &&
         handOut(kInfoStore, number(kStoreOffline), request.result);
}
bool fields(const Request& request) { return handOut(kFields, request.self.held, request.result); }
// The property its owner holds, when the steering has it.
bool field(const Request& request) {
  const LONG tag = request.arguments[0].lVal;
  const Steering& steering = request.steering;
  if (tag == request.self.held.lVal && tag == kOfflineFlags && steering.offlineFlags)
    return handOut(kField, number(*steering.offlineFlags), request.result);
  if (tag == request.self.held.lVal && tag == kStoreOffline && steering.storeOffline)
    return handOut(kField, boolean(*steering.storeOffline), request.result);
  journal("missing property " + hex(static_cast<ULONG>(tag)));
  return false;
}
bool value(const Request& request) {
  if (request.result != nullptr) *request.result = request.self.held;
  return true;
}

// Columns: name, DISPID, flags, argument types, returns, failure point, answer.
// clang-format off
const Kind kFolder{"Folder", byDispid, {}, {
    {"Fields", 12, kProperty, {}, VT_DISPATCH, "Fields", fields}}};
const Kind kInfoStore{"InfoStore", byDispid, {}, {
    {"Fields", 12, kProperty, {}, VT_DISPATCH, "Fields", fields}}};
const Kind kFields{"Fields", byName, {}, {
    {"Item", drawnDispid(), kProperty, {VT_I4}, VT_DISPATCH, "Fields.Item", field}}};
const Kind kField{"Field", byName, {}, {
    {"Value", drawnDispid(), kProperty, {}, VT_VARIANT, "Field.Value", value}}};

}  // namespace

const Kind kSession{"Session", byDispid, {kSessionInterface}, {
    {"Logon", 119, kMethod, {VT_DISPATCH, VT_BSTR, VT_BOOL, VT_BOOL}, VT_EMPTY, "Logon", logOn},
    {"Logoff", 118, kMethod, {}, VT_EMPTY, "Session.Logoff", logOff},
    {"GetDefaultFolder", 153, kMethod, {VT_I2}, VT_DISPATCH, "GetDefaultFolder", defaultFolder},
    {"InfoStores", 57, kProperty, {VT_BSTR}, VT_DISPATCH, "InfoStores", publicStore}}};
// clang-format on

// A released session's log-on ends with it.
bool sessionLoggedOn() {
  const std::set<const StandIn*>& live = liveStandIns();
  return std::any_of(live.begin(), live.end(), [](const StandIn* object) {
    return &object->kind() == &kSession && object->held.vt == VT_BOOL && object->held.boolVal == VARIANT_TRUE;
  });
}

}  // namespace orv::standins
