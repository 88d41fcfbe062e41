#pragma once
// Who the component is, for the records of its own failures: the folder of its file (no
// trailing separator), the file name without extension, and its version.
#include <string>

#include "orvacct_version.h"

namespace orv {

// The version defaults to the component's own, defined once in the build.
struct ComponentIdentity {
  std::u16string folder;
  std::u16string name;
  int major = ORVACCT_COMPONENT_VERSION_MAJOR;
  int minor = ORVACCT_COMPONENT_VERSION_MINOR;
  int revision = ORVACCT_COMPONENT_VERSION_REVISION;
};

// The version as the component's records show it: each part in plain decimal, no leading zeros.
struct VersionTexts {
  std::u16string major;
  std::u16string minor;
  std::u16string revision;
};

VersionTexts versionTexts(const ComponentIdentity& identity);

// The running component's identity. On Windows: the module's own file and version resource.
// Elsewhere: the user's state folder ($XDG_STATE_HOME/orvacct, created when missing) under the
// name "orvacctman", since nothing should write beside installed binaries.
}  // namespace orv

namespace orv::platform {

ComponentIdentity currentComponentIdentity();

}  // namespace orv::platform
