// The nine Reg_ methods. Each but Reg_DeleteKey opens or creates one key as its first step,
// works on it, and closes it as its last; the working values stay in the instance as the
// registry hands them. The stored bytes are what clients read back:
//   REG_SZ      the ANSI text, no terminating NUL
//   REG_DWORD   four bytes, least significant first
//   REG_BINARY  one byte per character, its ANSI code
// A read that fails leaves the fallback: Default, or empty text for binary.
#include <array>
#include <cstddef>
#include <limits>

#include "base/byte_order.h"
#include "component/clsOrvAcctMan.h"
#include "component/method_guard.h"
#include "registry/scoped_key.h"
#include "text/ansi_codepage.h"

namespace orv {

using registry::rootOf;
using text::fromAnsi;
using text::toAnsi;

namespace {

std::uint32_t dwordSize(std::size_t size) {
  if (size > std::numeric_limits<std::uint32_t>::max()) throwOverflow();
  return static_cast<std::uint32_t>(size);
}

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

// The one byte a character becomes; a character that needs more (a double-byte code page)
// is an overflow of that byte.
std::uint8_t ansiByte(char16_t character) {
  const std::string code = toAnsi(std::u16string_view(&character, 1));
  if (code.size() != 1) throwOverflow();
  return static_cast<std::uint8_t>(code[0]);
}

}  // namespace

template <class Steps>
void clsOrvAcctMan::withRegistryKey(Guard& guard, KeyOpening opening, HKeyHive hKey, const std::u16string& strPath,
                                    Steps&& steps) {
  registry::RegistryApi& api = *services_.registry;
  registry::ScopedKey key(api);
  guard.step([&] {
    switch (opening) {
      case KeyOpening::Open:  // RegOpenKeyA: no access mask
        m_lngResult = api.openKey(rootOf(hKey), toAnsi(strPath), key.receive());
        break;
      case KeyOpening::OpenForReading:
        m_lngResult = api.openKeyEx(rootOf(hKey), toAnsi(strPath), 0, registry::kKeyRead, key.receive());
        break;
      case KeyOpening::Create:
        m_lngResult = api.createKey(rootOf(hKey), toAnsi(strPath), key.receive());
        break;
    }
    m_lngKeyHandle = key.get();
    if (key.get() != 0 && key.get() == rootOf(hKey)) key.borrowed();
  });
  steps(api, key.get());
  m_lngResult = key.close();
}

// A read counts as succeeded only when its own step ran: m_lngResult alone would still hold
// the code of an earlier call when the step failed before its registry call.
bool clsOrvAcctMan::succeeded(bool stepRan) const noexcept { return stepRan && m_lngResult == registry::kErrorSuccess; }

void clsOrvAcctMan::Reg_DeleteValue(HKeyHive hKey, std::u16string strPath, std::u16string strValue) {
  Guard guard(*this, u"Reg_DeleteValue(HKEY As HKeyHive, ByVal strPath As String, ByVal strValue As String)");
  // A key that cannot be opened loses nothing.
  withRegistryKey(guard, KeyOpening::Open, hKey, strPath, [&](registry::RegistryApi& api, registry::KeyHandle key) {
    guard.step([&] { m_lngResult = api.deleteValue(key, toAnsi(strValue)); });
  });
}

void clsOrvAcctMan::Reg_DeleteKey(HKeyHive hKey, std::u16string strPath) {
  Guard guard(*this, u"Reg_DeleteKey(HKEY As HKeyHive, ByVal strPath As String)");
  // One call, not recursive: a key the registry refuses to delete (one with subkeys) stays.
  guard.step([&] { m_lngResult = services_.registry->deleteKey(rootOf(hKey), toAnsi(strPath)); });
}

void clsOrvAcctMan::Reg_CreateKey(HKeyHive hKey, const std::u16string& strPath) {
  Guard guard(*this, u"Reg_CreateKey(HKEY As HKeyHive, strPath As String)");
  withRegistryKey(guard, KeyOpening::Create, hKey, strPath, [](registry::RegistryApi&, registry::KeyHandle) {});
}

std::u16string clsOrvAcctMan::Reg_GetSettingString(HKeyHive hKey, const std::u16string& strPath,
                                                   const std::u16string& strValue, const std::u16string& Default) {
  Guard guard(*this,
              u"Reg_GetSettingString(HKEY As HKeyHive, strPath As String, strValue As String, Optional Default "
              u"As String) As String");
  std::u16string result;
  guard.step([&] { result = Default; });
  withRegistryKey(guard, KeyOpening::Open, hKey, strPath, [&](registry::RegistryApi& api, registry::KeyHandle key) {
    const bool sized = guard.step(
        [&] { m_lngResult = api.queryValueEx(key, toAnsi(strValue), &m_lngValueType, nullptr, &m_lngStringSize); });
    // Only REG_SZ: REG_EXPAND_SZ and REG_MULTI_SZ give Default, never their text.
    if (!guard.condition([&] { return succeeded(sized) && m_lngValueType == registry::kRegSz; })) return;
    guard.step([&] { m_sBuffer.assign(m_lngStringSize, u' '); });
    const bool read =
        guard.step([&] { m_lngResult = queryIntoText(api, key, toAnsi(strValue), m_sBuffer, m_lngStringSize); });
    if (!guard.condition([&] { return succeeded(read); })) return;
    // Text ends at the first NUL, whether another program stored one or not.
    guard.step([&] {
      const auto nul = m_sBuffer.find(u'\0');
      m_lngNulPos = nul == std::u16string::npos ? 0 : dwordSize(nul + 1);
    });
    guard.step([&] { result = m_lngNulPos > 0 ? m_sBuffer.substr(0, m_lngNulPos - 1) : m_sBuffer; });
  });
  return result;
}

std::int32_t clsOrvAcctMan::Reg_GetSettingDWord(HKeyHive hKey, const std::u16string& strPath,
                                                const std::u16string& strValue, std::int32_t Default) {
  Guard guard(*this,
              u"Reg_GetSettingDWord(HKEY As HKeyHive, strPath As String, strValue As String, Optional Default "
              u"As Long) As Long");
  std::int32_t result = Default;
  withRegistryKey(guard, KeyOpening::OpenForReading, hKey, strPath,
                  [&](registry::RegistryApi& api, registry::KeyHandle key) {
                    // Any type of at most four bytes is accepted; the buffer starts at zero each
                    // time so a shorter value is zero-extended.
                    const bool queried = guard.step([&] {
                      m_lngDWordBuffer = 0;
                      std::array<std::uint8_t, 4> bytes{};
                      std::uint32_t type = 0;
                      std::uint32_t size = 4;
                      m_lngResult = api.queryValueEx(key, toAnsi(strValue), &type, bytes.data(), &size);
                      m_lngDWordBuffer = static_cast<std::int32_t>(load32Le(bytes.data()));
                    });
                    if (guard.condition([&] { return succeeded(queried); })) result = m_lngDWordBuffer;
                  });
  return result;
}

std::u16string clsOrvAcctMan::Reg_GetSettingBinary(HKeyHive hKey, const std::u16string& strPath,
                                                   const std::u16string& strValue) {
  Guard guard(*this, u"Reg_GetSettingBinary(hKey As HKeyHive, strPath As String, strValue As String) As String");
  std::u16string result;
  withRegistryKey(guard, KeyOpening::Open, hKey, strPath, [&](registry::RegistryApi& api, registry::KeyHandle key) {
    // A one-byte probe: a longer value answers ERROR_MORE_DATA with its size, which is the
    // point, so its result is not tested.
    guard.step([&] {
      std::uint8_t scratch = 0;
      std::uint32_t type = 0;
      m_lngBinarySize = 1;
      m_lngResult = api.queryValueEx(key, toAnsi(strValue), &type, &scratch, &m_lngBinarySize);
    });
    guard.step([&] { m_sBuffer.assign(m_lngBinarySize, u' '); });
    const bool read =
        guard.step([&] { m_lngResult = queryIntoText(api, key, toAnsi(strValue), m_sBuffer, m_lngBinarySize); });
    // Every byte comes back as one character, NULs included.
    if (guard.condition([&] { return succeeded(read); })) {
      guard.step([&] { result = m_sBuffer; });
    }
  });
  return result;
}

void clsOrvAcctMan::Reg_SaveSettingString(HKeyHive hKey, const std::u16string& strPath, const std::u16string& strValue,
                                          const std::u16string& strData) {
  Guard guard(*this,
              u"Reg_SaveSettingString(HKEY As HKeyHive, strPath As String, strValue As String, strData As String)");
  withRegistryKey(guard, KeyOpening::Create, hKey, strPath, [&](registry::RegistryApi& api, registry::KeyHandle key) {
    guard.step([&] {
      const std::string text = toAnsi(strData);
      m_lngResult = api.setValueEx(key, toAnsi(strValue), registry::kRegSz,
                                   reinterpret_cast<const std::uint8_t*>(text.data()), dwordSize(text.size()));
    });
  });
}

void clsOrvAcctMan::Reg_SaveSettingDWord(HKeyHive hKey, const std::u16string& strPath, const std::u16string& strValue,
                                         std::int32_t lngData) {
  Guard guard(*this, u"Reg_SaveSettingDWord(hKey As HKeyHive, strPath As String, strValue As String, lngData As Long)");
  withRegistryKey(guard, KeyOpening::Create, hKey, strPath, [&](registry::RegistryApi& api, registry::KeyHandle key) {
    guard.step([&] {
      std::array<std::uint8_t, 4> bytes{};
      store32Le(bytes.data(), static_cast<std::uint32_t>(lngData));
      m_lngResult = api.setValueEx(key, toAnsi(strValue), registry::kRegDword, bytes.data(), 4);
    });
  });
}

void clsOrvAcctMan::Reg_SaveSettingBinary(HKeyHive hKey, const std::u16string& strPath, const std::u16string& strValue,
                                          const std::u16string& strData) {
  Guard guard(*this,
              u"Reg_SaveSettingBinary(hKey As HKeyHive, strPath As String, strValue As String, strData As String)");
  withRegistryKey(guard, KeyOpening::Create, hKey, strPath, [&](registry::RegistryApi& api, registry::KeyHandle key) {
    guard.step([&] {
      m_lngByteCount = dwordSize(strData.size());
      m_bytData.assign(m_lngByteCount, 0);
    });
    // Each character is its own step: one that does not fit a byte is reported, its byte
    // stays 0 and the next character follows.
    for (m_lngBytePos = 1; m_lngBytePos <= m_lngByteCount; ++m_lngBytePos) {
      guard.step([&] {
        if (m_lngBytePos > m_bytData.size()) throwSubscriptOutOfRange();
        m_bytData[m_lngBytePos - 1] = ansiByte(strData[m_lngBytePos - 1]);
      });
    }
    guard.step([&] {
      if (m_bytData.size() < m_lngByteCount) throwSubscriptOutOfRange();
      m_lngResult = api.setValueEx(key, toAnsi(strValue), registry::kRegBinary, m_bytData.data(), m_lngByteCount);
    });
  });
}

}  // namespace orv
