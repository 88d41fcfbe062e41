// Outlook's _Application and _NameSpace, and the current-user object (Outlook's AddressEntry),
// early bound, their members in the slots of Outlook's type library (0-2 IUnknown, 3-6
// IDispatch, then the members in order). Only the members the component calls answer; any
// other slot, and IDispatch::Invoke, is journalled as unexpected. A slot not listed takes no
// arguments: on 32-bit x86 a call with arguments through one of them would unbalance the
// caller's stack, after the journal has recorded it.
#include "standins.h"

namespace orv::standins {
namespace {

bool done(const Request&) { return true; }
bool newNamespace(const Request& request) { return handOut(kNameSpace, VARIANT{}, request.result); }
// Empty unless a CDO session is logged on.
bool userName(const Request& request) {
  request.result->vt = VT_BSTR;
  request.result->bstrVal = SysAllocString(sessionLoggedOn() ? wide(request.steering.userName).c_str() : L"");
  return true;
}

}  // namespace

using enum Reached;

// Columns: name, slot, flags, argument types, returns, failure point, answer (none: never to be
// called).
// clang-format off
const Kind kApplication{"Application", bySlot, {kApplicationInterface}, {
    {"GetNamespace", 19, 0, {VT_BSTR}, VT_DISPATCH, "GetNamespace", newNamespace},
    {"Quit", 20, 0, {}, VT_EMPTY, "", nullptr}}};  // Outlook must never be told to quit
const Kind kNameSpace{"NameSpace", bySlot, {kNamespaceInterface}, {
    {"Logoff", 21, 0, {}, VT_EMPTY, "NameSpace.Logoff", done}}};
// AddressEntry, extended by the current-user interface, which the component calls.
const Kind kCurrentUser{"CurrentUser", bySlot, {kCurrentUserInterface, kAddressEntryInterface}, {
    {"Name", 19, 0, {}, VT_BSTR, "Name", userName},
    {"Name put", 20, 0, {VT_BSTR}, VT_EMPTY, "", nullptr}}};
// clang-format on

}  // namespace orv::standins
