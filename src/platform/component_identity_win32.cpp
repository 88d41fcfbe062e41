// On Windows the component is the module this code lives in: its folder, its file name and the
// numbers of its version resource, so its own records land in Logs beside the DLL.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/component_identity.h"
#include "platform/own_module_win32.h"

namespace orv::platform {
namespace {

// Major, minor and revision of the file version (a.b.c.d gives a, b, d); the defaults stay
// when the resource cannot be read.
void readVersion(const std::wstring& path, ComponentIdentity& identity) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return;
  std::vector<unsigned char> block(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) || fixed == nullptr) return;
  identity.major = HIWORD(fixed->dwFileVersionMS);
  identity.minor = LOWORD(fixed->dwFileVersionMS);
  identity.revision = LOWORD(fixed->dwFileVersionLS);
}

std::u16string toU16(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

}  // namespace

ComponentIdentity currentComponentIdentity() {
  ComponentIdentity identity;
  const std::wstring path = ownModulePath();
  const std::size_t slash = path.find_last_of(L"\\/");
  const std::wstring file = slash == std::wstring::npos ? path : path.substr(slash + 1);
  const std::size_t dot = file.find_last_of(L'.');
  identity.folder = toU16(slash == std::wstring::npos ? std::wstring() : path.substr(0, slash));
  identity.name = toU16(dot == std::wstring::npos ? file : file.substr(0, dot));
  readVersion(path, identity);
  return identity;
}

}  // namespace orv::platform
