#pragma once
// Whoever must remove a file operation's named temporary file when the process is ended (a
// signal handler) learns its name through this.
#include <filesystem>
#include <functional>

namespace orv::platform {

// Told the name of a named temporary file once it exists, and an empty path once it is gone
// or has become the destination.
using TemporaryNameObserver = std::function<void(const std::filesystem::path&)>;

}  // namespace orv::platform
