// Create_Session, Close_Session, CheckState: the messaging session over Outlook and CDO.
//
// Resume-next holds as everywhere, with one rule on top: a failure never turns into True.
// Where a step fails, the method goes on as before, but a name that cannot be read does not
// prove a session open, and flags or a store that cannot be read do not prove them offline.
#include <memory>

#include "base/failure.h"
#include "component/clsOrvAcctMan.h"
#include "component/method_guard.h"
#include "messaging/message_box.h"
#include "messaging/messaging_api.h"

namespace orv {
namespace {

// A call through an object field that holds nothing.
template <class Object>
Object& required(const std::unique_ptr<Object>& field) {
  if (!field) throwObjectVariableNotSet();
  return *field;
}

}  // namespace

bool clsOrvAcctMan::Create_Session() {
  MethodGuard guard(*this, u"Create_Session() As Boolean");
  messaging::MessagingApi& api = *services_.messaging;

  // An open session is kept as it is. The name is read only when there is a session: a new
  // instance has no user to ask.
  if (m_cdoSession) {
    bool named = false;
    guard.step([&] { named = !required(m_CurrentUser).name().empty(); });
    if (named) return true;
  }

  // A field is replaced only when its new object arrived; what it held is released without a
  // log-off.
  guard.step([&] { m_olApplication = api.newApplication(); });
  guard.step([&] { m_cdoSession = api.newSession(); });
  guard.step([&] { m_olNameSpace = required(m_olApplication).getNamespace(u"MAPI"); });
  if (!m_cdoSession) return false;

  guard.step([&] { m_cdoSession->logon(m_olNameSpace.get(), u"", false, false); });
  guard.step([&] { m_CurrentUser = api.newCurrentUser(); });
  // Logon's own answer means nothing: the user's name says whether the session is open.
  bool result = false;
  guard.step([&] { result = !required(m_CurrentUser).name().empty(); });
  return result;
}

void clsOrvAcctMan::Close_Session() {
  MethodGuard guard(*this, u"Close_Session");
  if (m_olNameSpace) {
    guard.step([&] { m_olNameSpace->logoff(); });
    m_olNameSpace.reset();
  }
  // Outlook is released, never told to quit: the user may be working in it.
  m_olApplication.reset();
  m_CurrentUser.reset();
  if (m_cdoSession) {
    guard.step([&] { m_cdoSession->logoff(); });
    m_cdoSession.reset();
  }
}

bool clsOrvAcctMan::CheckState() {
  MethodGuard guard(*this, u"CheckState() As Boolean");
  if (!Create_Session()) {
    // The session objects stay as Create_Session left them. Where nobody could answer the
    // box, it is reported instead.
    guard.step([&] {
      services_.showMessageBox(
          {u"Outlook session could not be made.", u"OUTLOOK SESSION FAILED", messaging::kOkExclamation});
    });
    return false;
  }

  bool result = false;
  guard.step([&] { m_cdoFolder = required(m_cdoSession).getDefaultFolder(messaging::kContactsFolder); });
  bool flagsOffline = false;
  const bool testHeld = guard.condition([&] {
    flagsOffline = messaging::equalsNumber(required(m_cdoFolder).fieldValue(messaging::kPrOfflineFlags), 1);
    return flagsOffline;
  });
  // A failed read of the flags still looks at the store, as resume-next has it; only flags
  // known to be 1 and a store known to be offline make the result True.
  if (testHeld) {
    guard.step([&] { m_cdoInfoStore = required(m_cdoSession).infoStore(u"Public Folders"); });
    bool storeOffline = false;
    guard.step([&] {
      storeOffline =
          messaging::equalsNumber(required(m_cdoInfoStore).fieldValue(messaging::kPrStoreOffline), messaging::kTrue);
    });
    result = flagsOffline && storeOffline;
    m_cdoInfoStore.reset();
  }
  m_cdoFolder.reset();

  Close_Session();
  return result;
}

}  // namespace orv
