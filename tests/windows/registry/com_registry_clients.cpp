// clsOrvAcctMan through COM, early bound through the virtual table laid out below (declared
// here from the published interface, so a layout mistake in the component shows up) and late
// bound through IDispatch::Invoke by DISPID.
#include <windows.h>
// after windows.h
#include <oleauto.h>
#include <wrl/client.h>

#include <stdexcept>
#include <vector>

#include "registry_clients.h"

namespace orv::wintest {

// _clsOrvAcctMan after the IDispatch entries, in table order; by-reference parameters are
// pointers, the three by-value names of the delete methods are plain BSTRs. Not in an unnamed
// namespace: the compiler would take the class for one with no implementations and drop the calls.
struct IOrvAcctMan : IDispatch {
  virtual HRESULT STDMETHODCALLTYPE DeCrypt_Pwd(BSTR* sPwd, BSTR* sKey, BSTR* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE EnCrypt_Pwd(BSTR* sPwd, BSTR* sKey, BSTR* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateGUID(BSTR* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reg_DeleteValue(LONG* hKey, BSTR strPath, BSTR strValue) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reg_DeleteKey(LONG* hKey, BSTR strPath) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reg_CreateKey(LONG* hKey, BSTR* strPath) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reg_GetSettingString(LONG* hKey, BSTR* strPath, BSTR* strValue, BSTR* Default,
                                                         BSTR* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reg_SaveSettingString(LONG* hKey, BSTR* strPath, BSTR* strValue, BSTR* strData) = 0;
  virtual HRESULT STDMETHODCALLTYPE DeTick(BSTR* sTicked, BSTR* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE LogErrors(BSTR*, BSTR*, LONG*, BSTR*, BSTR*, BSTR*, BSTR*, BSTR*, BSTR*) = 0;
  virtual HRESULT STDMETHODCALLTYPE PurgeLogs(BSTR*, BSTR*) = 0;
  virtual HRESULT STDMETHODCALLTYPE Create_Session(VARIANT_BOOL* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE Close_Session() = 0;
  virtual HRESULT STDMETHODCALLTYPE ShowAbout(BSTR* sAppName, BSTR* sVer) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reg_GetSettingDWord(LONG* hKey, BSTR* strPath, BSTR* strValue, LONG* Default,
                                                        LONG* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reg_SaveSettingDWord(LONG* hKey, BSTR* strPath, BSTR* strValue, LONG* lngData) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reg_GetSettingBinary(LONG* hKey, BSTR* strPath, BSTR* strValue, BSTR* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reg_SaveSettingBinary(LONG* hKey, BSTR* strPath, BSTR* strValue, BSTR* strData) = 0;
  virtual HRESULT STDMETHODCALLTYPE CheckState(VARIANT_BOOL* result) = 0;
};

namespace {

using Microsoft::WRL::ComPtr;

constexpr CLSID kClsid = {0x85391336, 0x700C, 0x4414, {0x9D, 0x10, 0x8D, 0xB8, 0x4C, 0x04, 0x5E, 0xAA}};
constexpr IID kIid = {0x3D795EF2, 0xBBF3, 0x40FE, {0x89, 0x90, 0xBE, 0x40, 0x2A, 0x11, 0x5A, 0xD7}};

void check(HRESULT hr, const char* what) {
  if (FAILED(hr))
    throw std::runtime_error(std::string(what) + " failed: 0x" + std::to_string(static_cast<unsigned long>(hr)));
}

// One BSTR, freed at scope end; length-counted, so embedded NULs survive.
class Bstr {
 public:
  explicit Bstr(const std::wstring& text = {})
      : value_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  ~Bstr() { SysFreeString(value_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return value_; }
  BSTR* out() {
    SysFreeString(value_);
    value_ = nullptr;
    return &value_;
  }
  BSTR* inOut() { return &value_; }
  std::wstring text() const { return value_ == nullptr ? std::wstring() : std::wstring(value_, SysStringLen(value_)); }

 private:
  BSTR value_;
};

// COM for the life of a client, on its thread.
class Apartment {
 public:
  Apartment() { check(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), "CoInitializeEx"); }
  ~Apartment() { CoUninitialize(); }
  Apartment(const Apartment&) = delete;
  Apartment& operator=(const Apartment&) = delete;
};

template <class Interface>
ComPtr<Interface> createComponent(const IID& iid) {
  ComPtr<Interface> object;
  const HRESULT hr =
      CoCreateInstance(kClsid, nullptr, CLSCTX_INPROC_SERVER, iid, reinterpret_cast<void**>(object.GetAddressOf()));
  if (hr == REGDB_E_CLASSNOTREG) return nullptr;
  check(hr, "CoCreateInstance");
  return object;
}

class EarlyBoundClient final : public RegistryClient {
 public:
  static std::unique_ptr<RegistryClient> make() {
    auto client = std::unique_ptr<EarlyBoundClient>(new EarlyBoundClient);
    client->object_ = createComponent<IOrvAcctMan>(kIid);
    if (!client->object_) return nullptr;
    return client;
  }

  void DeleteValue(std::int32_t hive, const std::wstring& path, const std::wstring& name) override {
    LONG h = hive;
    check(object_->Reg_DeleteValue(&h, Bstr(path).get(), Bstr(name).get()), "Reg_DeleteValue");
  }
  void DeleteKey(std::int32_t hive, const std::wstring& path) override {
    LONG h = hive;
    check(object_->Reg_DeleteKey(&h, Bstr(path).get()), "Reg_DeleteKey");
  }
  void CreateKey(std::int32_t hive, const std::wstring& path) override {
    LONG h = hive;
    Bstr p(path);
    check(object_->Reg_CreateKey(&h, p.inOut()), "Reg_CreateKey");
  }
  std::wstring GetString(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                         const std::optional<std::wstring>& fallback) override {
    LONG h = hive;
    Bstr p(path), n(name), d(fallback.value_or(L"")), result;
    check(object_->Reg_GetSettingString(&h, p.inOut(), n.inOut(), d.inOut(), result.out()), "Reg_GetSettingString");
    return result.text();
  }
  void SaveString(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                  const std::wstring& data) override {
    LONG h = hive;
    Bstr p(path), n(name), d(data);
    check(object_->Reg_SaveSettingString(&h, p.inOut(), n.inOut(), d.inOut()), "Reg_SaveSettingString");
  }
  std::int32_t GetDWord(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                        std::optional<std::int32_t> fallback) override {
    LONG h = hive;
    LONG d = fallback.value_or(0);
    LONG result = 0;
    Bstr p(path), n(name);
    check(object_->Reg_GetSettingDWord(&h, p.inOut(), n.inOut(), &d, &result), "Reg_GetSettingDWord");
    return result;
  }
  void SaveDWord(std::int32_t hive, const std::wstring& path, const std::wstring& name, std::int32_t data) override {
    LONG h = hive;
    LONG d = data;
    Bstr p(path), n(name);
    check(object_->Reg_SaveSettingDWord(&h, p.inOut(), n.inOut(), &d), "Reg_SaveSettingDWord");
  }
  std::wstring GetBinary(std::int32_t hive, const std::wstring& path, const std::wstring& name) override {
    LONG h = hive;
    Bstr p(path), n(name), result;
    check(object_->Reg_GetSettingBinary(&h, p.inOut(), n.inOut(), result.out()), "Reg_GetSettingBinary");
    return result.text();
  }
  void SaveBinary(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                  const std::wstring& data) override {
    LONG h = hive;
    Bstr p(path), n(name), d(data);
    check(object_->Reg_SaveSettingBinary(&h, p.inOut(), n.inOut(), d.inOut()), "Reg_SaveSettingBinary");
  }

 private:
  EarlyBoundClient() = default;
  Apartment apartment_;
  ComPtr<IOrvAcctMan> object_;
};

// Arguments by value, as script engines pass them; the type library's Invoke passes them on
// by reference where the interface says so.
class LateBoundClient final : public RegistryClient {
 public:
  static std::unique_ptr<RegistryClient> make() {
    auto client = std::unique_ptr<LateBoundClient>(new LateBoundClient);
    client->object_ = createComponent<IDispatch>(IID_IDispatch);
    if (!client->object_) return nullptr;
    return client;
  }

  void DeleteValue(std::int32_t hive, const std::wstring& path, const std::wstring& name) override {
    invoke(0x6003000F, {number(hive), text(path), text(name)});
  }
  void DeleteKey(std::int32_t hive, const std::wstring& path) override {
    invoke(0x60030010, {number(hive), text(path)});
  }
  void CreateKey(std::int32_t hive, const std::wstring& path) override {
    invoke(0x60030011, {number(hive), text(path)});
  }
  std::wstring GetString(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                         const std::optional<std::wstring>& fallback) override {
    std::vector<Arg> args{number(hive), text(path), text(name)};
    if (fallback) args.push_back(text(*fallback));
    return invokeText(0x60030012, std::move(args));
  }
  void SaveString(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                  const std::wstring& data) override {
    invoke(0x60030013, {number(hive), text(path), text(name), text(data)});
  }
  std::int32_t GetDWord(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                        std::optional<std::int32_t> fallback) override {
    std::vector<Arg> args{number(hive), text(path), text(name)};
    if (fallback) args.push_back(number(*fallback));
    VARIANT result = invoke(0x6003001C, std::move(args));
    if (V_VT(&result) != VT_I4) throw std::runtime_error("Reg_GetSettingDWord did not return a Long");
    return V_I4(&result);
  }
  void SaveDWord(std::int32_t hive, const std::wstring& path, const std::wstring& name, std::int32_t data) override {
    invoke(0x6003001D, {number(hive), text(path), text(name), number(data)});
  }
  std::wstring GetBinary(std::int32_t hive, const std::wstring& path, const std::wstring& name) override {
    return invokeText(0x6003001E, {number(hive), text(path), text(name)});
  }
  void SaveBinary(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                  const std::wstring& data) override {
    invoke(0x6003001F, {number(hive), text(path), text(name), text(data)});
  }

 private:
  struct Arg {
    bool isText;
    std::int32_t number;
    std::wstring text;
  };
  static Arg number(std::int32_t value) { return {false, value, {}}; }
  static Arg text(const std::wstring& value) { return {true, 0, value}; }

  // The result VARIANT holds no resources for the types returned here but BSTR, which
  // invokeText frees.
  VARIANT invoke(DISPID id, std::vector<Arg> args) {
    std::vector<VARIANT> variants(args.size());
    // IDispatch takes its arguments last first.
    for (std::size_t i = 0; i < args.size(); ++i) {
      VARIANT& v = variants[args.size() - 1 - i];
      VariantInit(&v);
      if (args[i].isText) {
        V_VT(&v) = VT_BSTR;
        V_BSTR(&v) = SysAllocStringLen(args[i].text.data(), static_cast<UINT>(args[i].text.size()));
      } else {
        V_VT(&v) = VT_I4;
        V_I4(&v) = args[i].number;
      }
    }
    DISPPARAMS params{variants.data(), nullptr, static_cast<UINT>(variants.size()), 0};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception{};
    UINT badArgument = 0;
    const HRESULT hr =
        object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, &exception, &badArgument);
    for (VARIANT& v : variants) VariantClear(&v);
    check(hr, "IDispatch::Invoke");
    return result;
  }

  std::wstring invokeText(DISPID id, std::vector<Arg> args) {
    VARIANT result = invoke(id, std::move(args));
    if (V_VT(&result) != VT_BSTR) {
      VariantClear(&result);
      throw std::runtime_error("method did not return a String");
    }
    std::wstring text(V_BSTR(&result), SysStringLen(V_BSTR(&result)));
    VariantClear(&result);
    return text;
  }

  LateBoundClient() = default;
  Apartment apartment_;
  ComPtr<IDispatch> object_;
};

}  // namespace

std::unique_ptr<RegistryClient> makeEarlyBoundClient() { return EarlyBoundClient::make(); }
std::unique_ptr<RegistryClient> makeLateBoundClient() { return LateBoundClient::make(); }

}  // namespace orv::wintest
