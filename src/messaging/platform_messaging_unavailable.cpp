// Outside Windows there is no Outlook and no CDO.
#include "messaging/no_messaging.h"

namespace orv {

std::shared_ptr<messaging::MessagingApi> platformMessaging() { return std::make_shared<messaging::NoMessaging>(); }

}  // namespace orv
