#pragma once
// Placeholder until the engine lands.
namespace orv::cipher {
class KeyedEngineCache {};
}  // namespace orv::cipher
