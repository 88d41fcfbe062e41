#pragma once
// Who the component is, for the records of its own failures: the folder of its file (no
// trailing separator), the file name without extension, and its version.
#include <string>

namespace orv {

struct ComponentIdentity {
  std::u16string folder;
  std::u16string name;
  int major = 1;
  int minor = 0;
  int revision = 1;
};

// The running component's identity. On Windows: the module's own file and version resource.
// Elsewhere: the user's state folder ($XDG_STATE_HOME/orvacct, created when missing) under the
// name "orvacctman", since nothing should write beside installed binaries.
}  // namespace orv

namespace orv::platform {

ComponentIdentity currentComponentIdentity();

}  // namespace orv::platform
