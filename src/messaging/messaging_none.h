#pragma once
// Messaging where there is none: every creation fails, so Create_Session reports and answers
// False.
#include "messaging/messaging_api.h"

namespace orv::messaging {

// REGDB_E_CLASSNOTREG, read as signed: what Windows answers for a server that is not installed.
inline constexpr std::int32_t kNoProvider = -2147221164;

class NoMessaging final : public MessagingApi {
 public:
  std::unique_ptr<Application> newApplication() override;
  std::unique_ptr<Session> newSession() override;
  std::unique_ptr<CurrentUser> newCurrentUser() override;
};

}  // namespace orv::messaging
