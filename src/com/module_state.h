#pragma once
// What DllCanUnloadNow asks: how many objects (instances and class objects handed out) and
// server locks are alive, and whether an About box is open.
#include <windows.h>

namespace orv::com {

void objectCreated() noexcept;
void objectDestroyed() noexcept;
void lockServer(bool lock) noexcept;
bool moduleInUse() noexcept;

// Counts as one live object for as long as it exists.
class ModuleObject {
 public:
  ModuleObject() noexcept { objectCreated(); }
  ~ModuleObject() { objectDestroyed(); }
  ModuleObject(const ModuleObject&) = delete;
  ModuleObject& operator=(const ModuleObject&) = delete;
};

}  // namespace orv::com
