#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "standins.h"

namespace orv::standins {

std::atomic<long> aliveObjects{0};

std::string utf8(const wchar_t* text, int length) {
  if (text == nullptr || length == 0) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text, length, result.data(), size, nullptr, nullptr);
  if (length < 0 && !result.empty()) result.pop_back();  // the counted terminator
  return result;
}

std::wstring wide(const std::string& text) {
  std::wstring result(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0)), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, result.data(), static_cast<int>(result.size()));
  if (!result.empty()) result.pop_back();
  return result;
}

std::string hex(unsigned long value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", value);
  return text;
}

namespace {

std::wstring environment(const wchar_t* name) {
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) return {};
  std::wstring value(size, L'\0');
  value.resize(GetEnvironmentVariableW(name, value.data(), size));
  return value;
}

std::string readWholeFile(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string text;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
  CloseHandle(file);
  return text;
}

std::string trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return std::string(text.substr(first, last - first + 1));
}

void apply(Steering& steering, const std::string& key, const std::string& value) {
  if (key == "fail") {
    std::size_t start = 0;
    while (start <= value.size()) {
      const std::size_t comma = value.find(',', start);
      const std::string point = trimmed(std::string_view(value).substr(start, comma - start));
      if (!point.empty()) steering.failing.insert(point);
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
  } else if (key == "name") {
    steering.userName = value;
  } else if (key == "flags") {
    steering.offlineFlags = value == "missing" ? std::nullopt : std::optional<LONG>(std::stol(value, nullptr, 0));
  } else if (key == "storeOffline") {
    steering.storeOffline = value == "missing" ? std::nullopt : std::optional<bool>(value == "true");
  } else if (key == "publicFolders") {
    steering.publicFoldersMissing = value == "missing";
  } else {
    journal("unexpected steering " + key);
  }
}

}  // namespace

Steering currentSteering() {
  std::wstring source = environment(kSteeringVariable);
  std::string text;
  if (!source.empty() && source.front() == L'@') {
    text = readWholeFile(source.substr(1));
  } else {
    text = utf8(source.c_str(), static_cast<int>(source.size()));
  }
  Steering steering;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of(";\r\n", start);
    const std::string item = trimmed(std::string_view(text).substr(start, end - start));
    const std::size_t equals = item.find('=');
    try {
      if (equals != std::string::npos)
        apply(steering, trimmed(item.substr(0, equals)), trimmed(item.substr(equals + 1)));
    } catch (const std::exception&) {
      journal("unexpected steering " + item);
    }
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return steering;
}

void journal(const std::string& line) {
  const std::wstring path = environment(kJournalVariable);
  if (path.empty()) return;
  const HANDLE file =
      CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string record = line + "\n";
  DWORD written = 0;
  WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
  CloseHandle(file);
}

std::string interfaceName(REFIID iid) {
  struct Known {
    const IID* iid;
    const char* name;
  };
  static const Known known[] = {{&IID_IUnknown, "IUnknown"},
                                {&IID_IDispatch, "IDispatch"},
                                {&IID_ISupportErrorInfo, "ISupportErrorInfo"},
                                {&kApplicationInterface, "_Application"},
                                {&kNamespaceInterface, "_NameSpace"},
                                {&kAddressEntryInterface, "AddressEntry"},
                                {&kCurrentUserInterface, "CurrentUser"},
                                {&kSessionInterface, "CDO.Session"}};
  for (const Known& entry : known)
    if (IsEqualIID(*entry.iid, iid)) return entry.name;
  wchar_t text[40] = {};
  StringFromGUID2(iid, text, 40);
  return utf8(text);
}

std::string describe(const VARIANT& value) {
  switch (value.vt) {
    case VT_EMPTY:
      return "VT_EMPTY";
    case VT_I2:
      return "VT_I2 " + std::to_string(value.iVal);
    case VT_I4:
      return "VT_I4 " + hex(static_cast<unsigned long>(value.lVal));
    case VT_BOOL:
      return std::string("VT_BOOL ") + (value.boolVal == VARIANT_FALSE  ? "False"
                                        : value.boolVal == VARIANT_TRUE ? "True"
                                                                        : "?");
    case VT_BSTR:
      return "VT_BSTR \"" + utf8(value.bstrVal, static_cast<int>(SysStringLen(value.bstrVal))) + "\"";
    case VT_DISPATCH: {
      if (value.pdispVal == nullptr) return "VT_DISPATCH Nothing";
      const std::set<const StandIn*>& live = liveStandIns();
      const bool isNamespace = std::any_of(live.begin(), live.end(), [&](const StandIn* object) {
        return static_cast<const void*>(object) == value.pdispVal && &object->kind() == &kNameSpace;
      });
      return isNamespace ? "VT_DISPATCH NameSpace" : "VT_DISPATCH other";
    }
    default:
      return "vt " + hex(value.vt);
  }
}

HRESULT failWithResult(std::string_view point) {
  const HRESULT code = failureCode(point);
  journal("fail " + std::string(point) + " " + hex(static_cast<unsigned long>(code)));
  return code;
}

HRESULT failThroughErrorInfo(std::string_view point, REFIID calledInterface) {
  const HRESULT code = failWithResult(point);
  ICreateErrorInfo* creator = nullptr;
  if (SUCCEEDED(CreateErrorInfo(&creator))) {
    const std::wstring description = L"Stand-in failure: " + std::wstring(point.begin(), point.end());
    creator->SetGUID(calledInterface);
    creator->SetSource(const_cast<LPOLESTR>(L"Outlook.Application"));
    creator->SetDescription(const_cast<LPOLESTR>(description.c_str()));
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(creator->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
      SetErrorInfo(0, info);
      info->Release();
    }
    creator->Release();
  }
  return code;
}

HRESULT failThroughException(std::string_view point, EXCEPINFO* exception) {
  const HRESULT code = failWithResult(point);
  if (exception == nullptr) return code;
  *exception = EXCEPINFO{};
  const std::wstring description = L"Stand-in failure: " + std::wstring(point.begin(), point.end());
  exception->scode = code;
  exception->bstrSource = SysAllocString(L"Collaboration Data Objects");
  exception->bstrDescription = SysAllocString(description.c_str());
  return DISP_E_EXCEPTION;
}

}  // namespace orv::standins
