#pragma once
// Failed calls on Outlook and CDO become orv::Failure with the HRESULT read as signed and the
// text the server gave: IErrorInfo for vtable calls (when the object says it supports it),
// EXCEPINFO for dispatch calls, the system's message text otherwise (always for creations and
// name look-ups, which carry no text).
#include <windows.h>
#include <oaidl.h>

#include <string>

namespace orv::messaging::com {

[[noreturn]] void throwResultFailure(HRESULT result);
[[noreturn]] void throwCallFailure(HRESULT result, IUnknown* object, REFIID calledInterface);
[[noreturn]] void throwDispatchFailure(HRESULT result, EXCEPINFO& exception);

inline void checkCall(HRESULT result, IUnknown* object, REFIID calledInterface) {
  if (FAILED(result)) throwCallFailure(result, object, calledInterface);
}

// FormatMessage's text without its line break; "Automation error" when the system has none.
std::u16string systemMessage(HRESULT result);

}  // namespace orv::messaging::com
