// New identifiers on Windows: CoCreateGuid, and StringFromGUID2 for the text form.
#include <objbase.h>

#include <cstring>

#include "util/guid.h"

namespace orv::util {
namespace {

GUID toWindows(const GuidRecord& record) {
  GUID guid{};
  guid.Data1 = record.data1;
  guid.Data2 = record.data2;
  guid.Data3 = record.data3;
  std::memcpy(guid.Data4, record.data4.data(), 8);
  return guid;
}

}  // namespace

std::int32_t platformNewGuid(GuidRecord& record) {
  GUID guid{};
  const HRESULT hr = CoCreateGuid(&guid);
  if (SUCCEEDED(hr)) {
    record.data1 = guid.Data1;
    record.data2 = guid.Data2;
    record.data3 = guid.Data3;
    std::memcpy(record.data4.data(), guid.Data4, 8);
  }
  return static_cast<std::int32_t>(hr);
}

std::u16string guidText(const GuidRecord& record) {
  const GUID guid = toWindows(record);
  wchar_t text[39] = {};
  const int written = StringFromGUID2(guid, text, 39);  // counts the terminating NUL
  if (written != 39) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(text), 38);
}

}  // namespace orv::util
