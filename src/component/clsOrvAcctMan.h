#pragma once
// clsOrvAcctMan: the component's one class, portable. The COM layer converts arguments and
// calls these members; every member but the two log methods guards its steps and reports
// failures to the component's own log. No member throws.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/secret.h"
#include "component/services.h"
#include "messaging/messaging_api.h"
#include "registry/hkey_hive.h"
#include "registry/registry_api.h"
#include "util/guid.h"

namespace orv {

namespace cipher {
class clsBlowfish;
class KeyedCipherCache;
}  // namespace cipher

template <class Reporter>
class MethodGuard;

inline constexpr char16_t kModuleName[] = u"clsOrvAcctMan";

class clsOrvAcctMan {
 public:
  clsOrvAcctMan();
  explicit clsOrvAcctMan(Services services);
  ~clsOrvAcctMan();  // runs Close_Session; ignores whatever escapes it
  clsOrvAcctMan(const clsOrvAcctMan&) = delete;
  clsOrvAcctMan& operator=(const clsOrvAcctMan&) = delete;

  // In the order of the interface. Keys and plain passwords come and go as secrets.
  SecretText DeCrypt_Pwd(std::u16string& sPwd, const SecretText& sKey);
  std::u16string EnCrypt_Pwd(const SecretText& sPwd, const SecretText& sKey);
  std::u16string CreateGUID();
  void Reg_DeleteValue(HKeyHive hKey, std::u16string strPath, std::u16string strValue);
  void Reg_DeleteKey(HKeyHive hKey, std::u16string strPath);
  void Reg_CreateKey(HKeyHive hKey, const std::u16string& strPath);
  std::u16string Reg_GetSettingString(HKeyHive hKey, const std::u16string& strPath, const std::u16string& strValue,
                                      const std::u16string& Default = {});
  void Reg_SaveSettingString(HKeyHive hKey, const std::u16string& strPath, const std::u16string& strValue,
                             const std::u16string& strData);
  std::u16string DeTick(const std::u16string& sTicked);
  void LogErrors(const std::u16string& sAppPath, const std::u16string& sAppExeName, std::int32_t lngErrNumber,
                 const std::u16string& strErrDescription, const std::u16string& strErrModule,
                 const std::u16string& strErrProcedure, const std::u16string& sMajor = {},
                 const std::u16string& sMinor = {}, const std::u16string& sRevision = {});
  void PurgeLogs(const std::u16string& sAppPath, const std::u16string& sAppExeName);
  bool Create_Session();
  void Close_Session();
  void ShowAbout(const std::u16string& sAppName = {}, const std::u16string& sVer = {});
  std::int32_t Reg_GetSettingDWord(HKeyHive hKey, const std::u16string& strPath, const std::u16string& strValue,
                                   std::int32_t Default = 0);
  void Reg_SaveSettingDWord(HKeyHive hKey, const std::u16string& strPath, const std::u16string& strValue,
                            std::int32_t lngData);
  std::u16string Reg_GetSettingBinary(HKeyHive hKey, const std::u16string& strPath, const std::u16string& strValue);
  void Reg_SaveSettingBinary(HKeyHive hKey, const std::u16string& strPath, const std::u16string& strValue,
                             const std::u16string& strData);
  bool CheckState();

  // For the method guard: hands one failure to ReportError.
  void reportFailure(std::int32_t number, const std::u16string& description, std::u16string_view procedure) noexcept;

 private:
  using Guard = MethodGuard<clsOrvAcctMan>;

  void ReportError(std::int32_t lngErrNumber, const std::u16string& strErrDescription,
                   const std::u16string& strErrModule, const std::u16string& strErrProcedure) noexcept;

  // How a Reg_ method gets its key: RegOpenKeyA, RegOpenKeyExA for reading, or RegCreateKeyA.
  enum class KeyOpening { Open, OpenForReading, Create };
  // The Reg_ methods' shared frame: the open or create step (its handle kept in
  // m_lngKeyHandle), the method's own steps on the key, and the close as the last step.
  template <class Steps>
  void withRegistryKey(Guard& guard, KeyOpening opening, HKeyHive hKey, const std::u16string& strPath, Steps&& steps);
  bool succeeded(bool stepRan) const noexcept;  // registry reads: the step ran and the call succeeded
  cipher::KeyedCipherCache& keyedCiphers();     // made on first use
  template <class Operation>
  auto withKeyedCipher(std::u16string_view procedure, const SecretText& key, Operation operation);

  Services services_;

  // CreateGUID
  util::GuidRecord m_GUID{};
  std::u16string m_sGUID;
  std::int32_t m_lngRet = 0;

  // Password methods: the cipher of the running call, and keyed ciphers kept for reuse.
  std::unique_ptr<cipher::clsBlowfish> m_Blowfish;
  std::unique_ptr<cipher::KeyedCipherCache> keyedCiphers_;

  // Registry working values, shared by the nine Reg_ methods. Sizes and types are DWORDs as
  // the registry hands them; positions are as wide as the sizes, so values beyond 32,767
  // characters are read and written whole.
  std::u16string m_sBuffer;
  std::uint32_t m_lngNulPos = 0;
  std::uint32_t m_lngBytePos = 0;
  std::uintptr_t m_lngKeyHandle = 0;
  std::int32_t m_lngResult = 0;
  std::int32_t m_lngDWordBuffer = 0;
  std::uint32_t m_lngBinarySize = 0;
  std::uint32_t m_lngValueType = 0;
  std::uint32_t m_lngStringSize = 0;
  std::uint32_t m_lngByteCount = 0;
  std::vector<std::uint8_t> m_bytData;

  // Messaging session, from Create_Session to Close_Session, in the order the class has always
  // declared them; the folder and store live only during one CheckState.
  std::unique_ptr<messaging::Namespace> m_olNameSpace;
  std::unique_ptr<messaging::Session> m_cdoSession;
  std::unique_ptr<messaging::Application> m_olApplication;
  std::unique_ptr<messaging::CurrentUser> m_CurrentUser;
  std::unique_ptr<messaging::Folder> m_cdoFolder;
  std::unique_ptr<messaging::InfoStore> m_cdoInfoStore;

  // LogErrors repeat memory: the last error handled, field by field, and its folder.
  struct LoggedError {
    std::int32_t number = 0;
    std::u16string description;
    std::u16string module;
    std::u16string procedure;
  };
  LoggedError m_lastError;
  bool m_hasLastError = false;
  std::u16string m_sLastAppPath;
};

}  // namespace orv
