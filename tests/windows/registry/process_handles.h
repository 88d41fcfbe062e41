#pragma once
// How many handles this process holds. GetProcessHandleCount answers 0 under Wine, so this
// counts the process's entries in the system handle table instead.
#include <cstddef>

namespace orv::wintest {

std::size_t openHandleCount();

}  // namespace orv::wintest
