#include "independent_reader.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace orv::wintest {
namespace {

// One open key, closed at scope end.
class OpenKey {
 public:
  OpenKey(HKEY root, const std::wstring& path, bool create) {
    const LONG result =
        create ? RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr)
               : RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key_);
    if (result != ERROR_SUCCESS) key_ = nullptr;
  }
  ~OpenKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

std::optional<RawValue> readRaw(HKEY root, const std::wstring& path, const std::wstring& name) {
  const OpenKey key(root, path, false);
  if (key.get() == nullptr) return std::nullopt;
  RawValue value;
  DWORD size = 0;
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.bytes.resize(size);
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &value.type, value.bytes.data(), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.bytes.resize(size);
  return value;
}

void writeRaw(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type,
              const std::vector<std::uint8_t>& bytes) {
  const OpenKey key(root, path, true);
  static const BYTE none = 0;
  RegSetValueExW(key.get(), name.c_str(), 0, type, bytes.empty() ? &none : bytes.data(),
                 static_cast<DWORD>(bytes.size()));
}

bool keyExists(HKEY root, const std::wstring& path) { return OpenKey(root, path, false).get() != nullptr; }

void deleteTree(HKEY root, const std::wstring& path) { RegDeleteTreeW(root, path.c_str()); }

bool runCommand(const std::wstring& commandLine) { return _wsystem(commandLine.c_str()) == 0; }

std::wstring exportKey(const std::wstring& fullKeyName) {
  wchar_t folder[MAX_PATH];
  wchar_t file[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  GetTempFileNameW(folder, L"orv", 0, file);
  std::wstring text;
  if (runCommand(L"regedit /e \"" + std::wstring(file) + L"\" \"" + fullKeyName + L"\"")) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // UTF-16 with a byte order mark.
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      text.push_back(
          static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
  }
  DeleteFileW(file);
  // Long lines are continued with a backslash and an indented next line.
  for (std::size_t cut; (cut = text.find(L"\\\r\n  ")) != std::wstring::npos;) text.erase(cut, 5);
  return text;
}

std::vector<std::uint8_t> utf16Bytes(const std::wstring& text) {
  std::vector<std::uint8_t> bytes;
  for (const wchar_t c : text) {
    bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return bytes;
}

}  // namespace orv::wintest
