#include "platform/component_identity.h"

namespace orv {
namespace {

std::u16string decimal(int value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

VersionTexts versionTexts(const ComponentIdentity& identity) {
  return {decimal(identity.major), decimal(identity.minor), decimal(identity.revision)};
}

}  // namespace orv
