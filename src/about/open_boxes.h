#pragma once
// How many About boxes (each with its keyboard hook) exist in the process. Their window and
// hook procedures are code of this module, so the module must stay loaded while any exists.
namespace orv::about {

long openBoxes() noexcept;

// Counts as one open box for as long as it exists.
class OpenBoxCount {
 public:
  OpenBoxCount() noexcept;
  ~OpenBoxCount();
  OpenBoxCount(const OpenBoxCount&) = delete;
  OpenBoxCount& operator=(const OpenBoxCount&) = delete;
};

}  // namespace orv::about
