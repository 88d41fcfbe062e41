#pragma once
// Placeholder until the engine lands.
namespace orv::cipher {
class clsBlowfish {};
}  // namespace orv::cipher
