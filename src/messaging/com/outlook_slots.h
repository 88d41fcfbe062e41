#pragma once
// The three Outlook members the session calls early bound, and nothing else of Outlook.
//
// Slots count from 0 and include IUnknown (0-2) and IDispatch (3-6). They are those of
// Outlook's published type library, as independent public imports of it agree: pywin32's
// makepy output for Outlook 12, the Delphi type-library imports of Outlook 2000 and 2003, and
// an Outlook 98 C++ header:
//   _Application  {00063001-0000-0000-C000-000000000046}  GetNamespace  slot 19, DISPID 272
//                                                         (Quit follows in slot 20)
//   _NameSpace    {00063002-0000-0000-C000-000000000046}  Logoff        slot 21, DISPID 8454
//                                                         (Logon is DISPID 8453)
//   AddressEntry  {0006304B-0000-0000-C000-000000000046}  Name get      slot 19, DISPID 12289
//                                                         (Name put is slot 20)
// The current-user object's own interface {D7E6FB7C-A22F-4A9D-A89D-653D1AA37324} extends
// AddressEntry, so its Name get is slot 19 too.
#include <windows.h>
#include <oaidl.h>

#include <cstddef>

namespace orv::messaging::com {

inline constexpr CLSID kOutlookApplication = {0x0006F03A, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID kOutlookApplicationInterface = {0x00063001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID kOutlookNamespaceInterface = {0x00063002, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr CLSID kCurrentUserClass = {
    0x7ED1E9B1, 0xCB57, 0x4FA0, {0x84, 0xE8, 0xFA, 0xE6, 0x53, 0xFE, 0x8E, 0x6B}};
inline constexpr IID kCurrentUserInterface = {
    0xD7E6FB7C, 0xA22F, 0x4A9D, {0xA8, 0x9D, 0x65, 0x3D, 0x1A, 0xA3, 0x73, 0x24}};

// One method of a vtable: called with the interface pointer as its first argument, which is
// how the COM binary standard passes `this` (on the stack, __stdcall, for 32-bit x86).
template <std::size_t Slot, class... Arguments>
struct VtableMethod {
  static HRESULT call(IUnknown* object, Arguments... arguments) {
    using Entry = HRESULT(STDMETHODCALLTYPE*)(IUnknown*, Arguments...);
    const Entry* table = *reinterpret_cast<const Entry* const*>(object);
    return table[Slot](object, arguments...);
  }
};

// _Application.GetNamespace(Type As String) As NameSpace
using ApplicationGetNamespace = VtableMethod<19, BSTR, IDispatch**>;
// _NameSpace.Logoff()
using NamespaceLogoff = VtableMethod<21>;
// AddressEntry.Name (property get)
using AddressEntryGetName = VtableMethod<19, BSTR*>;

}  // namespace orv::messaging::com
