#pragma once
// The platform seams one clsOrvAcctMan instance works through. Production code takes
// platformServices(); tests replace single members. A member left empty is the platform's own:
// withDefaults() fills them all, in this one place.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "messaging/message_box.h"
#include "platform/component_identity.h"
#include "platform/local_time.h"
#include "util/guid.h"

namespace orv {

namespace registry {
class RegistryApi;
}
namespace about {
class AboutBox;
}
namespace messaging {
class MessagingApi;
}

// Called with every failure a guarded method reports, beside the log record (the command
// line tool prints them).
using FailureObserver =
    std::function<void(std::int32_t number, const std::u16string& description, const std::u16string& procedure)>;

struct Services {
  Clock clock;
  std::function<ComponentIdentity()> identity;
  util::GuidSource newGuid;
  std::shared_ptr<registry::RegistryApi> registry;
  std::shared_ptr<messaging::MessagingApi> messaging;
  messaging::ShowMessageBox showMessageBox;
  std::shared_ptr<about::AboutBox> aboutBox;
  FailureObserver failureObserver;
};

// Each empty member filled with the platform's own.
Services withDefaults(Services services);

// Every member the platform's own.
Services platformServices();

}  // namespace orv
