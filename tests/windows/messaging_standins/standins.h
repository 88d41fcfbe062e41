#pragma once
// The stand-ins' common ground: steering read at every call, the journal, the count of live
// objects, failure delivery the way real servers do it, and IUnknown/IDispatch for objects
// whose further vtable slots the derived class lays out.
#include <windows.h>
#include <oleauto.h>

#include <atomic>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "standin_protocol.h"

namespace orv::standins {

// The classes and interfaces the component asks for.
inline constexpr CLSID kApplicationClass = {0x0006F03A, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID kApplicationInterface = {0x00063001, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID kNamespaceInterface = {0x00063002, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID kAddressEntryInterface = {0x0006304B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr CLSID kCurrentUserClass = {
    0x7ED1E9B1, 0xCB57, 0x4FA0, {0x84, 0xE8, 0xFA, 0xE6, 0x53, 0xFE, 0x8E, 0x6B}};
inline constexpr IID kCurrentUserInterface = {
    0xD7E6FB7C, 0xA22F, 0x4A9D, {0xA8, 0x9D, 0x65, 0x3D, 0x1A, 0xA3, 0x73, 0x24}};
inline constexpr CLSID kSessionClass = {0x3FA7DEB3, 0x6438, 0x101B, {0xAC, 0xC1, 0x00, 0xAA, 0x00, 0x42, 0x33, 0x26}};
inline constexpr IID kSessionInterface = {0x3FA7DEA8, 0x6438, 0x101B, {0xAC, 0xC1, 0x00, 0xAA, 0x00, 0x42, 0x33, 0x26}};

struct Steering {
  std::set<std::string, std::less<>> failing;
  std::string userName{kDefaultUserName};
  std::optional<LONG> offlineFlags = 1;
  std::optional<bool> storeOffline = true;
  bool publicFoldersMissing = false;

  bool fails(std::string_view point) const { return failing.find(point) != failing.end(); }
};
Steering currentSteering();

void journal(const std::string& line);
std::string utf8(const wchar_t* text, int length = -1);
std::string hex(unsigned long value);
std::string interfaceName(REFIID iid);
std::string describe(const VARIANT& value);

// Objects alive now (class factories not counted), and CDO sessions logged on.
extern std::atomic<long> aliveObjects;
extern std::atomic<long> loggedOnSessions;
// The NameSpace objects alive, to recognise one handed to Logon.
std::set<const void*>& liveNamespaces();

// Failure of a creation or a name look-up: the HRESULT alone.
HRESULT failWithResult(std::string_view point);
// Failure of an early-bound call: IErrorInfo set for the calling thread, HRESULT returned.
HRESULT failThroughErrorInfo(std::string_view point, REFIID calledInterface);
// Failure of a dispatch call: EXCEPINFO filled, DISP_E_EXCEPTION returned.
HRESULT failThroughException(std::string_view point, EXCEPINFO* exception);

// IUnknown and IDispatch of one stand-in object. Derived adds no base with virtual functions
// before this one, so its own virtual functions take the slots from 7 on, in declaration
// order. Derived supplies find(iid) and invoke(...), neither virtual.
template <class Derived>
class StandInObject : public IDispatch {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = static_cast<Derived*>(this)->find(iid);
    journal("query " + kind_ + " " + interfaceName(iid) + (*object != nullptr ? " yes" : " no"));
    if (*object == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete static_cast<Derived*>(this);
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info != nullptr) *info = nullptr;
    journal("unexpected " + kind_ + " GetTypeInfo");
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID*) override {
    journal("unexpected " + kind_ + " GetIDsOfNames " + (count > 0 && names != nullptr ? utf8(names[0]) : ""));
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                                   EXCEPINFO* exception, UINT*) override {
    return static_cast<Derived*>(this)->invoke(member, flags, parameters, result, exception);
  }

  const std::string& kind() const { return kind_; }

 protected:
  explicit StandInObject(std::string kind) : kind_(std::move(kind)) {
    ++aliveObjects;
    journal("create " + kind_);
  }
  ~StandInObject() { journal("release " + kind_ + " alive=" + std::to_string(--aliveObjects)); }
  StandInObject(const StandInObject&) = delete;
  StandInObject& operator=(const StandInObject&) = delete;

  // A slot or member the component must never use.
  HRESULT unexpected(const std::string& what) {
    journal("unexpected " + kind_ + " " + what);
    return E_NOTIMPL;
  }

 private:
  std::string kind_;
  std::atomic<ULONG> references_{1};
};

// ISupportErrorInfo of an Outlook stand-in, answering for the interfaces it implements.
class ErrorInfoSupport final : public ISupportErrorInfo {
 public:
  ErrorInfoSupport(IUnknown& outer, std::initializer_list<IID> interfaces) : outer_(outer), interfaces_(interfaces) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    return outer_.QueryInterface(iid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return outer_.AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return outer_.Release(); }
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
    for (const IID& known : interfaces_)
      if (IsEqualIID(known, iid)) return S_OK;
    return S_FALSE;
  }

 private:
  IUnknown& outer_;
  std::vector<IID> interfaces_;
};

// Created by the class factories.
HRESULT createApplication(REFIID iid, void** object);
HRESULT createSession(REFIID iid, void** object);
HRESULT createCurrentUser(REFIID iid, void** object);

}  // namespace orv::standins
