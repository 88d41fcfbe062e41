#include "messaging/messaging_none.h"

#include "base/failure.h"

namespace orv::messaging {
namespace {

[[noreturn]] void noProvider(std::u16string_view what) {
  std::u16string description = u"Class not registered: ";
  description.append(what).append(u" exists only on Windows");
  throw Failure(kNoProvider, std::move(description));
}

}  // namespace

std::unique_ptr<Application> NoMessaging::newApplication() { noProvider(u"Outlook"); }
std::unique_ptr<Session> NoMessaging::newSession() { noProvider(u"CDO"); }
std::unique_ptr<CurrentUser> NoMessaging::newCurrentUser() { noProvider(u"the current-user object"); }

}  // namespace orv::messaging
