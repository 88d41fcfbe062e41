// Reg_GetSettingString, Reg_GetSettingDWord, Reg_GetSettingBinary: open the key, read one
// value, close. A read that fails leaves the fallback: Default, or empty text for binary.
#include <array>

#include "component/clsOrvAcctMan.h"
#include "component/method_guard.h"
#include "registry/method_support.h"
#include "registry/scoped_key.h"
#include "text/ansi_codepage.h"

namespace orv {

using registry::rootOf;
using text::fromAnsi;
using text::toAnsi;

namespace {

// Reads into the 8-bit form of buffer, then turns the whole of it back into text, as a
// String buffer passed to the ANSI entry point comes back.
std::int32_t queryIntoText(registry::RegistryApi& api, registry::KeyHandle key, const std::string& valueName,
                           std::u16string& buffer, std::uint32_t size) {
  std::string bytes = toAnsi(buffer);
  std::uint32_t type = 0;
  const std::int32_t result =
      api.queryValueEx(key, valueName, &type, reinterpret_cast<std::uint8_t*>(bytes.data()), &size);
  buffer = fromAnsi(bytes);
  return result;
}

}  // namespace

// A read counts as succeeded only when its own step ran: m_lngResult alone would still hold
// the code of an earlier call when the step failed before its registry call.
bool clsOrvAcctMan::succeeded(bool stepRan) const noexcept { return stepRan && m_lngResult == registry::kErrorSuccess; }

std::u16string clsOrvAcctMan::Reg_GetSettingString(HKeyHive hKey, const std::u16string& strPath,
                                                   const std::u16string& strValue, const std::u16string& Default) {
  MethodGuard guard(*this,
                    u"Reg_GetSettingString(HKEY As HKeyHive, strPath As String, strValue As String, Optional Default "
                    u"As String) As String");
  registry::RegistryApi& api = *services_.registry;
  registry::ScopedKey key(api);
  std::u16string result;
  guard.step([&] { result = Default; });
  guard.step([&] {
    m_lngResult = api.openKey(rootOf(hKey), toAnsi(strPath), key.receive());
    m_lngKeyHandle = key.get();
  });
  const bool sized = guard.step([&] {
    m_lngResult = api.queryValueEx(key.get(), toAnsi(strValue), &m_lngValueType, nullptr, &m_lngStringSize);
  });
  // Only REG_SZ: REG_EXPAND_SZ and REG_MULTI_SZ give Default, never their text.
  if (guard.condition([&] { return succeeded(sized) && m_lngValueType == registry::kRegSz; })) {
    guard.step([&] { m_sBuffer.assign(m_lngStringSize, u' '); });
    const bool read = guard.step(
        [&] { m_lngResult = queryIntoText(api, key.get(), toAnsi(strValue), m_sBuffer, m_lngStringSize); });
    if (guard.condition([&] { return succeeded(read); })) {
      // Text ends at the first NUL, whether another program stored one or not.
      guard.step([&] {
        const auto nul = m_sBuffer.find(u'\0');
        m_lngNulPos = nul == std::u16string::npos ? 0 : registry::dwordSize(nul + 1);
      });
      guard.step([&] { result = m_lngNulPos > 0 ? m_sBuffer.substr(0, m_lngNulPos - 1) : m_sBuffer; });
    }
  }
  m_lngResult = key.close();
  return result;
}

std::int32_t clsOrvAcctMan::Reg_GetSettingDWord(HKeyHive hKey, const std::u16string& strPath,
                                                const std::u16string& strValue, std::int32_t Default) {
  MethodGuard guard(*this,
                    u"Reg_GetSettingDWord(HKEY As HKeyHive, strPath As String, strValue As String, Optional Default "
                    u"As Long) As Long");
  registry::RegistryApi& api = *services_.registry;
  registry::ScopedKey key(api);
  std::int32_t result = Default;
  guard.step([&] {
    m_lngResult = api.openKeyEx(rootOf(hKey), toAnsi(strPath), 0, registry::kKeyRead, key.receive());
    m_lngKeyHandle = key.get();
  });
  // Any type of at most four bytes is accepted; the buffer starts at zero each time so a
  // shorter value is zero-extended.
  const bool queried = guard.step([&] {
    m_lngDWordBuffer = 0;
    std::array<std::uint8_t, 4> bytes{};
    std::uint32_t type = 0;
    std::uint32_t size = 4;
    m_lngResult = api.queryValueEx(key.get(), toAnsi(strValue), &type, bytes.data(), &size);
    m_lngDWordBuffer = static_cast<std::int32_t>(bytes[0] | (std::uint32_t{bytes[1]} << 8) |
                                                 (std::uint32_t{bytes[2]} << 16) | (std::uint32_t{bytes[3]} << 24));
  });
  if (guard.condition([&] { return succeeded(queried); })) result = m_lngDWordBuffer;
  m_lngResult = key.close();
  return result;
}

std::u16string clsOrvAcctMan::Reg_GetSettingBinary(HKeyHive hKey, const std::u16string& strPath,
                                                   const std::u16string& strValue) {
  MethodGuard guard(*this, u"Reg_GetSettingBinary(hKey As HKeyHive, strPath As String, strValue As String) As String");
  registry::RegistryApi& api = *services_.registry;
  registry::ScopedKey key(api);
  std::u16string result;
  guard.step([&] {
    m_lngResult = api.openKey(rootOf(hKey), toAnsi(strPath), key.receive());
    m_lngKeyHandle = key.get();
  });
  // A one-byte probe: a longer value answers ERROR_MORE_DATA with its size, which is the
  // point, so its result is not tested.
  guard.step([&] {
    std::uint8_t scratch = 0;
    std::uint32_t type = 0;
    m_lngBinarySize = 1;
    m_lngResult = api.queryValueEx(key.get(), toAnsi(strValue), &type, &scratch, &m_lngBinarySize);
  });
  guard.step([&] { m_sBuffer.assign(m_lngBinarySize, u' '); });
  const bool read =
      guard.step([&] { m_lngResult = queryIntoText(api, key.get(), toAnsi(strValue), m_sBuffer, m_lngBinarySize); });
  // Every byte comes back as one character, NULs included.
  if (guard.condition([&] { return succeeded(read); })) {
    guard.step([&] { result = m_sBuffer; });
  }
  m_lngResult = key.close();
  return result;
}

}  // namespace orv
