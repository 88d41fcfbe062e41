#pragma once
// StartSysInfo, the click of cmdSysInfo: finds the System Information tool through its registry
// entries and starts it, or tells the user it is unavailable. GetKeyValue reads one of those
// entries. Texts are ANSI bytes, as the 8-bit registry and process functions take them.
#include <cstdint>
#include <string>
#include <string_view>

#include "registry/registry_api.h"

namespace orv::about {

// What StartSysInfo needs of the platform besides the registry.
class SysInfoPlatform {
 public:
  virtual ~SysInfoPlatform() = default;
  virtual registry::RegistryApi& registry() = 0;
  // Environment references (%NAME%) replaced; throws when that fails.
  virtual std::string expandEnvironment(const std::string& text) = 0;
  // A file that exists and is neither hidden, nor a system file, nor a folder.
  virtual bool isOrdinaryFile(const std::string& path) = 0;
  // Starts the program at this path (never searched for, never split at a space) as a new
  // process in a normal window with the focus, without waiting; throws when it cannot start.
  virtual void startProgram(const std::string& path) = 0;
  // The notice with an OK button only and no icon; returns when the user has closed it.
  virtual void showNotice(std::u16string_view text, std::u16string_view caption) = 0;
};

inline constexpr std::int32_t kHkeyLocalMachine = static_cast<std::int32_t>(0x80000002);
inline constexpr char kMsinfoKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr char kMsinfoValue[] = "PATH";
inline constexpr char kLocationKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr char kLocationValue[] = "MSINFO";
inline constexpr char kToolFileName[] = "\\MSINFO32.EXE";
inline constexpr std::uint32_t kValueBufferSize = 1024;

// True when the value was read. A failed open or query empties strKeyValue and gives false;
// text values set it (environment references expanded), a DWORD sets it to its odd hex-built
// number, other types leave it as it was. A value without data throws, as does a failing
// expansion: the caller's trap decides.
bool GetKeyValue(SysInfoPlatform& platform, std::int32_t lngRootKey, const std::string& strKeyPath,
                 const std::string& strValueName, std::string& strKeyValue);

// Every failure on the way ends in the "unavailable" notice; nothing is logged or thrown.
void StartSysInfo(SysInfoPlatform& platform) noexcept;

// What the DWORD branch of GetKeyValue makes of its text: "&h" literals of up to eight hex
// digits become their decimal value (up to four digits read as 16-bit, up to eight as 32-bit
// signed numbers); any other text stays as it is.
std::string formatGeneral(const std::string& text);

}  // namespace orv::about
