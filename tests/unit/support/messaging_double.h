#pragma once
// A double of the messaging seam: every call and release goes into a journal, any call can be
// told to fail, and the user's name is empty unless a live session is logged on, as with CDO.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/failure.h"
#include "messaging/messaging_api.h"
#include "text/utf.h"

namespace orv::testing {

inline constexpr std::int32_t kDoubleFailure = -2147467259;  // E_FAIL

struct MessagingScript {
  // Call name -> how many more times it fails (-1: always). Names as in the journal.
  std::map<std::string, int> failures;
  std::u16string userName = u"Jane Doe";
  messaging::PropertyValue offlineFlags = messaging::PropertyValue::ofNumber(1);
  messaging::PropertyValue storeOffline = messaging::PropertyValue::ofNumber(messaging::kTrue);
  bool namespaceIsNothing = false;

  std::vector<std::string> journal;
  int alive = 0;
  int loggedOn = 0;

  // Journals the call, then fails it if told to.
  void call(const std::string& name, const std::string& detail = {}) {
    journal.push_back(detail.empty() ? name : name + " " + detail);
    const auto found = failures.find(name);
    if (found == failures.end() || found->second == 0) return;
    if (found->second > 0) --found->second;
    throw Failure(kDoubleFailure, text::fromUtf8(name + " failed"));
  }
};

class MessagingDouble final : public messaging::MessagingApi {
 public:
  std::shared_ptr<MessagingScript> script = std::make_shared<MessagingScript>();

  std::unique_ptr<messaging::Application> newApplication() override;
  std::unique_ptr<messaging::Session> newSession() override;
  std::unique_ptr<messaging::CurrentUser> newCurrentUser() override;
};

namespace double_detail {

using ScriptPtr = std::shared_ptr<MessagingScript>;

// Counts itself alive and journals its release.
class Tracked {
 public:
  Tracked(ScriptPtr script, std::string kind) : script_(std::move(script)), kind_(std::move(kind)) { ++script_->alive; }
  ~Tracked() {
    --script_->alive;
    script_->journal.push_back("release " + kind_);
  }
  Tracked(const Tracked&) = delete;
  Tracked& operator=(const Tracked&) = delete;

 protected:
  ScriptPtr script_;
  std::string kind_;
};

class Namespace final : public messaging::Namespace, Tracked {
 public:
  explicit Namespace(ScriptPtr script) : Tracked(std::move(script), "Namespace") {}
  void logoff() override { script_->call("Namespace.Logoff"); }
};

class Application final : public messaging::Application, Tracked {
 public:
  explicit Application(ScriptPtr script) : Tracked(std::move(script), "Application") {}
  std::unique_ptr<messaging::Namespace> getNamespace(const std::u16string& type) override {
    script_->call("GetNamespace", text::toUtf8(type));
    if (script_->namespaceIsNothing) return nullptr;
    return std::make_unique<Namespace>(script_);
  }
};

class FieldHolder final : public messaging::FieldHolder, Tracked {
 public:
  FieldHolder(ScriptPtr script, std::string kind) : Tracked(std::move(script), std::move(kind)) {}
  messaging::PropertyValue fieldValue(std::int32_t tag) override {
    const bool flags = tag == messaging::kPrOfflineFlags;
    script_->call(kind_ + ".Field", flags                               ? "PR_OFFLINE_FLAGS"
                                    : tag == messaging::kPrStoreOffline ? "PR_STORE_OFFLINE"
                                                                        : "?");
    return flags ? script_->offlineFlags : script_->storeOffline;
  }
};

class Session final : public messaging::Session, Tracked {
 public:
  explicit Session(ScriptPtr script) : Tracked(std::move(script), "Session") {}
  ~Session() override {
    if (loggedOn_) --script_->loggedOn;
  }
  void logon(const messaging::Namespace* mapi, const std::u16string& password, bool showDialog,
             bool newSession) override {
    script_->call("Logon", std::string(mapi != nullptr ? "Namespace" : "Nothing") + " \"" + text::toUtf8(password) +
                               "\" " + (showDialog ? "True" : "False") + " " + (newSession ? "True" : "False"));
    if (!loggedOn_) ++script_->loggedOn;
    loggedOn_ = true;
  }
  void logoff() override {
    script_->call("Session.Logoff");
    if (loggedOn_) --script_->loggedOn;
    loggedOn_ = false;
  }
  std::unique_ptr<messaging::Folder> getDefaultFolder(std::int16_t type) override {
    script_->call("GetDefaultFolder", std::to_string(type));
    return std::make_unique<FieldHolder>(script_, "Folder");
  }
  std::unique_ptr<messaging::InfoStore> infoStore(const std::u16string& name) override {
    script_->call("InfoStores", text::toUtf8(name));
    return std::make_unique<FieldHolder>(script_, "InfoStore");
  }

 private:
  bool loggedOn_ = false;
};

class CurrentUser final : public messaging::CurrentUser, Tracked {
 public:
  explicit CurrentUser(ScriptPtr script) : Tracked(std::move(script), "CurrentUser") {}
  std::u16string name() override {
    script_->call("Name");
    return script_->loggedOn > 0 ? script_->userName : std::u16string();
  }
};

}  // namespace double_detail

inline std::unique_ptr<messaging::Application> MessagingDouble::newApplication() {
  script->call("new Application");
  return std::make_unique<double_detail::Application>(script);
}

inline std::unique_ptr<messaging::Session> MessagingDouble::newSession() {
  script->call("new Session");
  return std::make_unique<double_detail::Session>(script);
}

inline std::unique_ptr<messaging::CurrentUser> MessagingDouble::newCurrentUser() {
  script->call("new CurrentUser");
  return std::make_unique<double_detail::CurrentUser>(script);
}

}  // namespace orv::testing
