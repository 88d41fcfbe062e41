#pragma once
// How a test steers the messaging stand-ins and reads what they saw. Shared by the stand-in
// DLL and the suites that drive it.
//
// ORVACCT_STANDINS, read at every call: "key=value" items separated by ';' (or line breaks),
// or "@PATH" to read them from that file (a script host cannot set its own environment):
//   fail=POINT[,POINT...]      these creations or calls fail (points below)
//   name=TEXT                  the current user's name once a CDO session is logged on
//   flags=N|missing            PR_OFFLINE_FLAGS of the contacts folder (VT_I4), default 1
//   storeOffline=true|false|missing   PR_STORE_OFFLINE of "Public Folders" (VT_BOOL), default true
//   publicFolders=missing      InfoStores("Public Folders") finds nothing
// ORVACCT_STANDINS_JOURNAL: a file each event is appended to, one line each:
//   create KIND | call KIND.MEMBER(ARGUMENTS) [FLAGS] | call KIND.GetIDsOfNames("NAME") |
//   query KIND INTERFACE yes|no | fail POINT 0xHRESULT | release KIND alive=N | unexpected KIND WHAT
// CDO's Fields.Item and Field.Value answer GetIDsOfNames with DISPIDs drawn anew in every
// process, so only a caller that asks for them by name reaches them.
#include <windows.h>

#include <string_view>

namespace orv::standins {

inline constexpr wchar_t kSteeringVariable[] = L"ORVACCT_STANDINS";
inline constexpr wchar_t kJournalVariable[] = L"ORVACCT_STANDINS_JOURNAL";
inline constexpr std::string_view kDefaultUserName = "Stand-in User";

struct FailurePoint {
  std::string_view name;
  HRESULT code;
};

// Creations and name look-ups fail with the HRESULT alone (neither carries text); calls carry
// the text "Stand-in failure: POINT", through IErrorInfo (Outlook) or EXCEPINFO (CDO).
inline constexpr FailurePoint kFailurePoints[] = {
    {"Application.create", static_cast<HRESULT>(0x80080005)},  // CO_E_SERVER_EXEC_FAILURE
    {"Session.create", static_cast<HRESULT>(0x80040154)},      // REGDB_E_CLASSNOTREG
    {"CurrentUser.create", static_cast<HRESULT>(0x80070005)},  // E_ACCESSDENIED
    {"GetNamespace", static_cast<HRESULT>(0x80040201)},
    {"NameSpace.Logoff", static_cast<HRESULT>(0x80040202)},
    {"Name", static_cast<HRESULT>(0x80040203)},
    {"Logon", static_cast<HRESULT>(0x80040111)},             // MAPI_E_LOGON_FAILED
    {"Session.Logoff", static_cast<HRESULT>(0x80040605)},    // MAPI_E_NOT_INITIALIZED
    {"GetDefaultFolder", static_cast<HRESULT>(0x8004010F)},  // MAPI_E_NOT_FOUND
    {"InfoStores", static_cast<HRESULT>(0x8004010F)},
    {"Fields", static_cast<HRESULT>(0x80004005)},
    {"Fields.GetIDsOfNames", static_cast<HRESULT>(0x80020006)},  // DISP_E_UNKNOWNNAME
    {"Fields.Item", static_cast<HRESULT>(0x8004010F)},
    {"Field.GetIDsOfNames", static_cast<HRESULT>(0x80020006)},
    {"Field.Value", static_cast<HRESULT>(0x80004005)},
};

constexpr HRESULT failureCode(std::string_view point) {
  for (const FailurePoint& known : kFailurePoints)
    if (known.name == point) return known.code;
  return E_FAIL;
}

}  // namespace orv::standins
