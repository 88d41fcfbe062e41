// The portable class with the platform's services: the Win32 registry seam, no COM.
#include <string>

#include "component/clsOrvAcctMan.h"
#include "registry_clients.h"

namespace orv::wintest {
namespace {

std::u16string u16(const std::wstring& text) { return {text.begin(), text.end()}; }
std::wstring wide(const std::u16string& text) { return {text.begin(), text.end()}; }
HKeyHive hiveOf(std::int32_t value) { return static_cast<HKeyHive>(value); }

class DirectClient final : public RegistryClient {
 public:
  void DeleteValue(std::int32_t hive, const std::wstring& path, const std::wstring& name) override {
    component_.Reg_DeleteValue(hiveOf(hive), u16(path), u16(name));
  }
  void DeleteKey(std::int32_t hive, const std::wstring& path) override {
    component_.Reg_DeleteKey(hiveOf(hive), u16(path));
  }
  void CreateKey(std::int32_t hive, const std::wstring& path) override {
    component_.Reg_CreateKey(hiveOf(hive), u16(path));
  }
  std::wstring GetString(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                         const std::optional<std::wstring>& fallback) override {
    return wide(component_.Reg_GetSettingString(hiveOf(hive), u16(path), u16(name), u16(fallback.value_or(L""))));
  }
  void SaveString(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                  const std::wstring& data) override {
    component_.Reg_SaveSettingString(hiveOf(hive), u16(path), u16(name), u16(data));
  }
  std::int32_t GetDWord(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                        std::optional<std::int32_t> fallback) override {
    return component_.Reg_GetSettingDWord(hiveOf(hive), u16(path), u16(name), fallback.value_or(0));
  }
  void SaveDWord(std::int32_t hive, const std::wstring& path, const std::wstring& name, std::int32_t data) override {
    component_.Reg_SaveSettingDWord(hiveOf(hive), u16(path), u16(name), data);
  }
  std::wstring GetBinary(std::int32_t hive, const std::wstring& path, const std::wstring& name) override {
    return wide(component_.Reg_GetSettingBinary(hiveOf(hive), u16(path), u16(name)));
  }
  void SaveBinary(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                  const std::wstring& data) override {
    component_.Reg_SaveSettingBinary(hiveOf(hive), u16(path), u16(name), u16(data));
  }

 private:
  clsOrvAcctMan component_;
};

}  // namespace

std::unique_ptr<RegistryClient> makeDirectClient() { return std::make_unique<DirectClient>(); }

}  // namespace orv::wintest
