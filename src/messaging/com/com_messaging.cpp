// The messaging seam over the real servers: Outlook and the current-user object early bound
// through the vtable slots of outlook_slots.h, CDO late bound (cdo_dispatch.h). Every object is
// created new with CLSCTX_SERVER (Outlook is a local server), never taken from the running
// object table.
#include <utility>

#include "base/failure.h"
#include "messaging/com/cdo_dispatch.h"
#include "messaging/com/com_failure.h"
#include "messaging/com/com_values.h"
#include "messaging/com/outlook_slots.h"
#include "messaging/messaging_api.h"

namespace orv::messaging::com {
namespace {

// An object a member handed back; Nothing where a later call needs one is error 91.
ComPtr<IDispatch> requiredObject(const VARIANT& value) {
  ComPtr<IDispatch> object = objectOf(value);
  if (!object) throwObjectVariableNotSet();
  return object;
}

template <class Interface>
ComPtr<Interface> createNew(REFCLSID classId, REFIID interfaceId) {
  ComPtr<Interface> object;
  const HRESULT result = CoCreateInstance(classId, nullptr, CLSCTX_SERVER, interfaceId,
                                          reinterpret_cast<void**>(object.ReleaseAndGetAddressOf()));
  if (FAILED(result)) throwResultFailure(result);
  if (!object) throwResultFailure(E_NOINTERFACE);
  return object;
}

class ComNamespace final : public Namespace {
 public:
  explicit ComNamespace(ComPtr<IDispatch> object) : object_(std::move(object)) {}

  void logoff() override { checkCall(NamespaceLogoff::call(object_.Get()), object_.Get(), kOutlookNamespaceInterface); }

  IDispatch* dispatch() const noexcept { return object_.Get(); }

 private:
  ComPtr<IDispatch> object_;  // the _NameSpace pointer, a dual interface
};

class ComApplication final : public Application {
 public:
  explicit ComApplication(ComPtr<IUnknown> object) : object_(std::move(object)) {}

  std::unique_ptr<Namespace> getNamespace(const std::u16string& type) override {
    const UniqueBstr name = makeBstr(type);
    ComPtr<IDispatch> mapi;
    checkCall(ApplicationGetNamespace::call(object_.Get(), name.get(), mapi.ReleaseAndGetAddressOf()), object_.Get(),
              kOutlookApplicationInterface);
    if (!mapi) return nullptr;
    return std::make_unique<ComNamespace>(std::move(mapi));
  }

 private:
  ComPtr<IUnknown> object_;  // the _Application pointer
};

class ComFieldHolder final : public FieldHolder {
 public:
  explicit ComFieldHolder(ComPtr<IDispatch> object) : object_(std::move(object)) {}

  // Fields.Item(tag).Value
  PropertyValue fieldValue(std::int32_t propertyTag) override {
    OwnedVariant fields;
    invokeMember(object_.Get(), cdo::kFields, cdo::kProperty, {}, fields);
    OwnedVariant field;
    invokeNamed(requiredObject(*fields).Get(), cdo::kItem, cdo::kProperty, {longArgument(propertyTag)}, field);
    OwnedVariant value;
    invokeNamed(requiredObject(*field).Get(), cdo::kValue, cdo::kProperty, {}, value);
    return propertyValueOf(*value);
  }

 private:
  ComPtr<IDispatch> object_;
};

std::unique_ptr<FieldHolder> fieldHolderOf(const VARIANT& value) {
  ComPtr<IDispatch> object = objectOf(value);
  if (!object) return nullptr;
  return std::make_unique<ComFieldHolder>(std::move(object));
}

class ComSession final : public Session {
 public:
  explicit ComSession(ComPtr<IDispatch> object) : object_(std::move(object)) {}

  void logon(const Namespace* mapiNamespace, const std::u16string& password, bool showDialog,
             bool newSession) override {
    const auto* outlook = dynamic_cast<const ComNamespace*>(mapiNamespace);
    const UniqueBstr text = makeBstr(password);
    OwnedVariant ignored;
    invokeMember(object_.Get(), cdo::kLogon, cdo::kMethod,
                 {objectArgument(outlook != nullptr ? outlook->dispatch() : nullptr), textArgument(text.get()),
                  booleanArgument(showDialog), booleanArgument(newSession)},
                 ignored);
  }

  void logoff() override {
    OwnedVariant ignored;
    invokeMember(object_.Get(), cdo::kLogoff, cdo::kMethod, {}, ignored);
  }

  std::unique_ptr<Folder> getDefaultFolder(std::int16_t folderType) override {
    OwnedVariant folder;
    invokeMember(object_.Get(), cdo::kGetDefaultFolder, cdo::kMethod, {shortArgument(folderType)}, folder);
    return fieldHolderOf(*folder);
  }

  std::unique_ptr<InfoStore> infoStore(const std::u16string& name) override {
    const UniqueBstr text = makeBstr(name);
    OwnedVariant store;
    invokeMember(object_.Get(), cdo::kInfoStores, cdo::kProperty, {textArgument(text.get())}, store);
    return fieldHolderOf(*store);
  }

 private:
  ComPtr<IDispatch> object_;
};

class ComCurrentUser final : public CurrentUser {
 public:
  explicit ComCurrentUser(ComPtr<IUnknown> object) : object_(std::move(object)) {}

  std::u16string name() override {
    BSTR raw = nullptr;
    const HRESULT result = AddressEntryGetName::call(object_.Get(), &raw);
    const UniqueBstr owned(raw);
    checkCall(result, object_.Get(), kCurrentUserInterface);
    return textOf(owned.get());
  }

 private:
  ComPtr<IUnknown> object_;  // the current-user interface pointer
};

class ComMessaging final : public MessagingApi {
 public:
  std::unique_ptr<Application> newApplication() override {
    return std::make_unique<ComApplication>(createNew<IUnknown>(kOutlookApplication, kOutlookApplicationInterface));
  }
  std::unique_ptr<Session> newSession() override {
    return std::make_unique<ComSession>(createNew<IDispatch>(kCdoSession, kCdoSessionInterface));
  }
  std::unique_ptr<CurrentUser> newCurrentUser() override {
    return std::make_unique<ComCurrentUser>(createNew<IUnknown>(kCurrentUserClass, kCurrentUserInterface));
  }
};

}  // namespace
}  // namespace orv::messaging::com

namespace orv::messaging {

std::shared_ptr<MessagingApi> platformMessaging() { return std::make_shared<com::ComMessaging>(); }

}  // namespace orv::messaging
