// Reg_SaveSettingString, Reg_SaveSettingDWord, Reg_SaveSettingBinary: create or open the key,
// write one value, close. The stored bytes are what clients read back:
//   REG_SZ      the ANSI text, no terminating NUL
//   REG_DWORD   four bytes, least significant first
//   REG_BINARY  one byte per character, its ANSI code
#include <array>

#include "component/clsOrvAcctMan.h"
#include "component/method_guard.h"
#include "registry/method_support.h"
#include "registry/scoped_key.h"
#include "text/ansi_codepage.h"

namespace orv {

using registry::dwordSize;
using registry::rootOf;
using text::toAnsi;

namespace {

// The one byte a character becomes; a character that needs more (a double-byte code page)
// is an overflow of that byte.
std::uint8_t ansiByte(char16_t character) {
  const std::string code = toAnsi(std::u16string_view(&character, 1));
  if (code.size() != 1) throwOverflow();
  return static_cast<std::uint8_t>(code[0]);
}

}  // namespace

void clsOrvAcctMan::Reg_SaveSettingString(HKeyHive hKey, const std::u16string& strPath, const std::u16string& strValue,
                                          const std::u16string& strData) {
  MethodGuard guard(*this,
                    u"Reg_SaveSettingString(HKEY As HKeyHive, strPath As String, strValue As String, strData As String)");
  registry::RegistryApi& api = *services_.registry;
  registry::ScopedKey key(api);
  guard.step([&] {
    m_lngResult = api.createKey(rootOf(hKey), toAnsi(strPath), key.receive());
    m_lngKeyHandle = key.get();
  });
  guard.step([&] {
    const std::string text = toAnsi(strData);
    m_lngResult = api.setValueEx(key.get(), toAnsi(strValue), registry::kRegSz,
                                 reinterpret_cast<const std::uint8_t*>(text.data()), dwordSize(text.size()));
  });
  m_lngResult = key.close();
}

void clsOrvAcctMan::Reg_SaveSettingDWord(HKeyHive hKey, const std::u16string& strPath, const std::u16string& strValue,
                                         std::int32_t lngData) {
  MethodGuard guard(*this,
                    u"Reg_SaveSettingDWord(hKey As HKeyHive, strPath As String, strValue As String, lngData As Long)");
  registry::RegistryApi& api = *services_.registry;
  registry::ScopedKey key(api);
  guard.step([&] {
    m_lngResult = api.createKey(rootOf(hKey), toAnsi(strPath), key.receive());
    m_lngKeyHandle = key.get();
  });
  guard.step([&] {
    const auto bits = static_cast<std::uint32_t>(lngData);
    const std::array<std::uint8_t, 4> bytes{static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
                                            static_cast<std::uint8_t>(bits >> 16),
                                            static_cast<std::uint8_t>(bits >> 24)};
    m_lngResult = api.setValueEx(key.get(), toAnsi(strValue), registry::kRegDword, bytes.data(), 4);
  });
  m_lngResult = key.close();
}

void clsOrvAcctMan::Reg_SaveSettingBinary(HKeyHive hKey, const std::u16string& strPath, const std::u16string& strValue,
                                          const std::u16string& strData) {
  MethodGuard guard(*this,
                    u"Reg_SaveSettingBinary(hKey As HKeyHive, strPath As String, strValue As String, strData As String)");
  registry::RegistryApi& api = *services_.registry;
  registry::ScopedKey key(api);
  guard.step([&] {
    m_lngResult = api.createKey(rootOf(hKey), toAnsi(strPath), key.receive());
    m_lngKeyHandle = key.get();
  });
  guard.step([&] {
    m_lngByteCount = dwordSize(strData.size());
    m_bytData.assign(m_lngByteCount, 0);
  });
  // Each character is its own step: one that does not fit a byte is reported, its byte stays 0
  // and the next character follows.
  for (m_lngBytePos = 1; m_lngBytePos <= m_lngByteCount; ++m_lngBytePos) {
    guard.step([&] {
      if (m_lngBytePos > m_bytData.size()) throwSubscriptOutOfRange();
      m_bytData[m_lngBytePos - 1] = ansiByte(strData[m_lngBytePos - 1]);
    });
  }
  guard.step([&] {
    if (m_bytData.size() < m_lngByteCount) throwSubscriptOutOfRange();
    m_lngResult = api.setValueEx(key.get(), toAnsi(strValue), registry::kRegBinary, m_bytData.data(), m_lngByteCount);
  });
  m_lngResult = key.close();
}

}  // namespace orv
