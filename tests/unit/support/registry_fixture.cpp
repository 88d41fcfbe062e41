#include "registry_fixture.h"

#include <random>

#include "text/utf.h"

namespace orv::test {

RegistryFixture::RegistryFixture() {
  scratch = std::filesystem::temp_directory_path() / ("orvacct-registry-" + std::to_string(std::random_device{}()));
  std::filesystem::create_directories(scratch);
  Services services;
  services.registry = registry;
  services.identity = [folder = text::fromUtf8(scratch.string())] { return ComponentIdentity{folder, u"orvacctman"}; };
  services.failureObserver = [this](std::int32_t number, const std::u16string&, const std::u16string& procedure) {
    reported.push_back({number, procedure});
  };
  component = std::make_unique<clsOrvAcctMan>(std::move(services));
}

RegistryFixture::~RegistryFixture() {
  std::error_code ignored;
  std::filesystem::remove_all(scratch, ignored);
}

void RegistryFixture::TearDown() { EXPECT_EQ(registry->openHandleCount(), 0u) << "a key was left open"; }

}  // namespace orv::test
