// Outside Windows there is no Outlook and no CDO.
#include "messaging/messaging_none.h"

namespace orv::messaging {

std::shared_ptr<MessagingApi> platformMessaging() { return std::make_shared<NoMessaging>(); }

}  // namespace orv::messaging
