#pragma once
// A component wired to the in-memory registry double, with every reported failure collected
// and the component's own log kept in a temporary folder. Every test ends with all keys closed.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "component/clsOrvAcctMan.h"
#include "support/component_fixture.h"
#include "support/in_memory_registry_double.h"
#include "support/temp_folder.h"

namespace orv::testing {

struct ReportedFailure {
  std::int32_t number;
  std::u16string procedure;
};

class RegistryFixture : public ::testing::Test {
 protected:
  RegistryFixture() {
    Services services = testServices(clock, componentFolder.path());
    services.registry = registry;
    services.failureObserver = [this](std::int32_t number, const std::u16string&, const std::u16string& procedure) {
      reported.push_back({number, procedure});
    };
    component = std::make_unique<clsOrvAcctMan>(std::move(services));
  }
  void TearDown() override { EXPECT_EQ(registry->openHandleCount(), 0u) << "a key was left open"; }

  static registry::KeyHandle hkcu() { return registry::rootKeyHandle(HkeyCurrentUser); }
  static registry::KeyHandle hklm() { return registry::rootKeyHandle(HkeyLocalMachine); }

  std::shared_ptr<TestClock> clock = std::make_shared<TestClock>();
  TempFolder componentFolder;
  std::shared_ptr<InMemoryRegistryDouble> registry = std::make_shared<InMemoryRegistryDouble>();
  std::vector<ReportedFailure> reported;
  std::unique_ptr<clsOrvAcctMan> component;
};

}  // namespace orv::testing
