#pragma once
// The messaging seam: exactly the calls the session makes on Outlook, CDO 1.x and the
// current-user object. Each object is an owning handle; destroying it releases the object and
// never logs anything off. A call that fails throws orv::Failure with the number and text the
// server gave. A member that answers "Nothing" hands back an empty pointer.
#include <cstdint>
#include <memory>
#include <string>

#include "messaging/property_value.h"

namespace orv::messaging {

// Outlook's NameSpace for "MAPI".
class Namespace {
 public:
  virtual ~Namespace() = default;
  virtual void logoff() = 0;
};

// Outlook's Application.
class Application {
 public:
  virtual ~Application() = default;
  virtual std::unique_ptr<Namespace> getNamespace(const std::u16string& type) = 0;
};

// A CDO object with Fields (a folder or an information store): Fields.Item(tag).Value.
class FieldHolder {
 public:
  virtual ~FieldHolder() = default;
  virtual PropertyValue fieldValue(std::int32_t propertyTag) = 0;
};
using Folder = FieldHolder;
using InfoStore = FieldHolder;

// CDO's Session.
class Session {
 public:
  virtual ~Session() = default;
  // mapiNamespace may be null: the caller passes whatever its field holds.
  virtual void logon(const Namespace* mapiNamespace, const std::u16string& password, bool showDialog,
                     bool newSession) = 0;
  virtual void logoff() = 0;
  virtual std::unique_ptr<Folder> getDefaultFolder(std::int16_t folderType) = 0;
  virtual std::unique_ptr<InfoStore> infoStore(const std::u16string& name) = 0;
};

// The current-user object (Outlook's AddressEntry).
class CurrentUser {
 public:
  virtual ~CurrentUser() = default;
  virtual std::u16string name() = 0;
};

// Creates each object new, never attaching to a running one.
class MessagingApi {
 public:
  virtual ~MessagingApi() = default;
  virtual std::unique_ptr<Application> newApplication() = 0;
  virtual std::unique_ptr<Session> newSession() = 0;
  virtual std::unique_ptr<CurrentUser> newCurrentUser() = 0;
};

// CDO's default folder number of the contacts folder.
inline constexpr std::int16_t kContactsFolder = 5;
// Published Exchange property tags.
inline constexpr std::int32_t kPrOfflineFlags = 0x663D0003;
inline constexpr std::int32_t kPrStoreOffline = 0x6632000B;

// Outlook and CDO through COM on Windows; elsewhere a provider whose every creation fails.
std::shared_ptr<MessagingApi> platformMessaging();

}  // namespace orv::messaging
