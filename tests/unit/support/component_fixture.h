#pragma once
// A component whose clock is set by the test and whose own failure records go to a
// temporary folder.
#include <filesystem>
#include <memory>
#include <string>

#include "component/clsOrvAcctMan.h"
#include "support/temp_folder.h"

namespace orv::testing {

struct TestClock {
  LocalDateTime now{2002, 3, 5, 14, 7, 9};
};

inline Services testServices(const std::shared_ptr<TestClock>& clock, const std::filesystem::path& componentFolder) {
  Services services = platformServices();
  services.clock = [clock] { return clock->now; };
  // The version left to its default: the component's own, as the build defines it.
  services.identity = [folder = componentFolder.u16string()] { return ComponentIdentity{folder, u"OrvAcctMan"}; };
  return services;
}

// The component's own log of the test clock's day.
inline std::filesystem::path ownLogFile(const std::filesystem::path& componentFolder, const LocalDateTime& day) {
  char name[64];
  std::snprintf(name, sizeof name, "orvacctman-%02d%02d%04d.log", day.month, day.day, day.year);
  return componentFolder / "Logs" / name;
}

}  // namespace orv::testing
