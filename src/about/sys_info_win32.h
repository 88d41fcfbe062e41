#pragma once
// StartSysInfo's platform on Windows: advapi32's 8-bit registry functions, CreateProcessA and
// a message box owned by the About box.
#include <windows.h>

#include <memory>

#include "about/sys_info.h"

namespace orv::about {

class Win32SysInfoPlatform final : public SysInfoPlatform {
 public:
  explicit Win32SysInfoPlatform(HWND owner);

  registry::RegistryApi& registry() override { return *registry_; }
  std::string expandEnvironment(const std::string& text) override;
  bool isOrdinaryFile(const std::string& path) override;
  void startProgram(const std::string& path) override;
  void showNotice(std::u16string_view text, std::u16string_view caption) override;

 private:
  HWND owner_;
  std::shared_ptr<registry::RegistryApi> registry_;
};

}  // namespace orv::about
