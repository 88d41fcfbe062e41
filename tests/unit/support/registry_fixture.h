#pragma once
// A component wired to the in-memory registry double, with every reported failure collected
// and the component's own log kept in a scratch folder. Every test ends with all keys closed.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "component/clsOrvAcctMan.h"
#include "in_memory_registry_double.h"
#include "text/ansi_codepage.h"

namespace orv::test {

struct ReportedFailure {
  std::int32_t number;
  std::u16string procedure;
};

class RegistryFixture : public ::testing::Test {
 protected:
  RegistryFixture();
  ~RegistryFixture() override;
  void TearDown() override;

  static registry::KeyHandle hkcu() { return registry::rootKeyHandle(HkeyCurrentUser); }
  static registry::KeyHandle hklm() { return registry::rootKeyHandle(HkeyLocalMachine); }
  static std::string bytes(std::u16string_view text) { return text::toAnsi(text); }

  std::shared_ptr<InMemoryRegistryDouble> registry = std::make_shared<InMemoryRegistryDouble>();
  std::vector<ReportedFailure> reported;
  std::filesystem::path scratch;
  std::unique_ptr<clsOrvAcctMan> component;
};

}  // namespace orv::test
