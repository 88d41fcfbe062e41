#include "component/clsOrvAcctMan.h"

#include <string>

#include "cipher/clsBlowfish.h"
#include "cipher/keyed_cipher_cache.h"

namespace orv {

clsOrvAcctMan::clsOrvAcctMan() : clsOrvAcctMan(platformServices()) {}

clsOrvAcctMan::clsOrvAcctMan(Services services) : services_(withDefaults(std::move(services))) {}

clsOrvAcctMan::~clsOrvAcctMan() {
  try {
    Close_Session();
  } catch (...) {
    // Termination writes no record of its own.
  }
}

void clsOrvAcctMan::reportFailure(std::int32_t number, const std::u16string& description,
                                  std::u16string_view procedure) noexcept {
  try {
    if (services_.failureObserver) services_.failureObserver(number, description, std::u16string(procedure));
  } catch (...) {
    // An observer never changes what the method does.
  }
  try {
    ReportError(number, description, kModuleName, std::u16string(procedure));
  } catch (...) {
  }
}

void clsOrvAcctMan::ReportError(std::int32_t lngErrNumber, const std::u16string& strErrDescription,
                                const std::u16string& strErrModule, const std::u16string& strErrProcedure) noexcept {
  try {
    const ComponentIdentity self = services_.identity();
    const VersionTexts version = versionTexts(self);
    LogErrors(self.folder, self.name, lngErrNumber, strErrDescription, strErrModule, strErrProcedure, version.major,
              version.minor, version.revision);
  } catch (...) {
    // A report that cannot be written is lost without trace.
  }
}

}  // namespace orv
