#pragma once
// CDO 1.x reached through IDispatch::Invoke, as a script host reaches it: methods with
// DISPATCH_METHOD, properties with DISPATCH_METHOD | DISPATCH_PROPERTYGET. Most members by their
// fixed DISPIDs; Fields.Item and Field.Value by name, through GetIDsOfNames.
#include <windows.h>
#include <oaidl.h>

#include <initializer_list>

#include "messaging/com/com_values.h"

namespace orv::messaging::com {

inline constexpr CLSID kCdoSession = {0x3FA7DEB3, 0x6438, 0x101B, {0xAC, 0xC1, 0x00, 0xAA, 0x00, 0x42, 0x33, 0x26}};
inline constexpr IID kCdoSessionInterface = {
    0x3FA7DEA8, 0x6438, 0x101B, {0xAC, 0xC1, 0x00, 0xAA, 0x00, 0x42, 0x33, 0x26}};

namespace cdo {
inline constexpr DISPID kLogon = 119;             // Session, method
inline constexpr DISPID kLogoff = 118;            // Session, method
inline constexpr DISPID kGetDefaultFolder = 153;  // Session, method
inline constexpr DISPID kInfoStores = 57;         // Session, property
inline constexpr DISPID kFields = 12;             // Folder and InfoStore, property
inline constexpr wchar_t kItem[] = L"Item";       // Fields, property, by name
inline constexpr wchar_t kValue[] = L"Value";     // Field, property, by name

inline constexpr WORD kMethod = DISPATCH_METHOD;
inline constexpr WORD kProperty = DISPATCH_METHOD | DISPATCH_PROPERTYGET;
}  // namespace cdo

// Arguments in their natural order (first argument first), borrowed: the caller owns what
// they point to. The result, if any, goes to `result`. Throws orv::Failure.
void invokeMember(IDispatch* target, DISPID member, WORD flags, std::initializer_list<VARIANT> arguments,
                  OwnedVariant& result);
// The same for the member `target` names `name` (GetIDsOfNames in the user's default locale).
void invokeNamed(IDispatch* target, const wchar_t* name, WORD flags, std::initializer_list<VARIANT> arguments,
                 OwnedVariant& result);

// Borrowed argument values.
VARIANT textArgument(BSTR text);
VARIANT shortArgument(SHORT number);
VARIANT longArgument(LONG number);
VARIANT booleanArgument(bool value);
VARIANT objectArgument(IDispatch* object);  // null passes Nothing

}  // namespace orv::messaging::com
