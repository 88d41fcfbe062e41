#pragma once
// The registry as other programs see it: the wide entry points, reg.exe and regedit exports.
// Tests check the stored types and bytes here, not only what the methods read back.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orv::wintest {

struct RawValue {
  DWORD type = 0;
  std::vector<std::uint8_t> bytes;
  bool operator==(const RawValue&) const = default;
};

std::optional<RawValue> readRaw(HKEY root, const std::wstring& path, const std::wstring& name);
void writeRaw(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type,
              const std::vector<std::uint8_t>& bytes);
bool keyExists(HKEY root, const std::wstring& path);
void deleteTree(HKEY root, const std::wstring& path);

// Runs a command line through the shell; true when it exits with 0.
bool runCommand(const std::wstring& commandLine);

// regedit /e of one key, as text, with continued lines joined.
std::wstring exportKey(const std::wstring& fullKeyName);

// The bytes of a wide string as the registry stores them.
std::vector<std::uint8_t> utf16Bytes(const std::wstring& text);

}  // namespace orv::wintest
