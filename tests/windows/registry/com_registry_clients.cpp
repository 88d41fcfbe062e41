// clsOrvAcctMan through COM: early bound through the interface of the type library's header,
// late bound through IDispatch::Invoke by DISPID with arguments by value, as script engines
// pass them. Texts travel length-counted, so embedded NULs survive both ways.
#include <stdexcept>
#include <vector>

#include "com_test_support.h"
#include "registry_clients.h"

namespace orv::wintest {
namespace {

using orv::testing::ComPtr;
namespace dispid = orv::testing::dispid;

void check(HRESULT hr, const char* what) {
  if (FAILED(hr)) throw std::runtime_error(std::string(what) + " failed: " + std::to_string(hr));
}

// One BSTR, freed at scope end.
class Text {
 public:
  explicit Text(const std::wstring& text = {})
      : value_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  ~Text() { SysFreeString(value_); }
  Text(const Text&) = delete;
  Text& operator=(const Text&) = delete;
  BSTR get() const { return value_; }
  BSTR* ref() { return &value_; }
  BSTR* out() {
    SysFreeString(value_);
    value_ = nullptr;
    return &value_;
  }
  std::wstring text() const { return orv::testing::fromBstr(value_); }

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

// Null when the class is not registered.
ComPtr<_clsOrvAcctMan> createComponent() {
  ComPtr<_clsOrvAcctMan> object;
  const HRESULT hr = CoCreateInstance(CLSID_clsOrvAcctMan, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object));
  if (hr == REGDB_E_CLASSNOTREG) return nullptr;
  check(hr, "CoCreateInstance");
  return object;
}

class EarlyBoundClient final : public RegistryClient {
 public:
  bool created() const { return object_ != nullptr; }

  void DeleteValue(std::int32_t hive, const std::wstring& path, const std::wstring& name) override {
    HKeyHive h = root(hive);
    check(object_->Reg_DeleteValue(&h, Text(path).get(), Text(name).get()), "Reg_DeleteValue");
  }
  void DeleteKey(std::int32_t hive, const std::wstring& path) override {
    HKeyHive h = root(hive);
    check(object_->Reg_DeleteKey(&h, Text(path).get()), "Reg_DeleteKey");
  }
  void CreateKey(std::int32_t hive, const std::wstring& path) override {
    HKeyHive h = root(hive);
    Text p(path);
    check(object_->Reg_CreateKey(&h, p.ref()), "Reg_CreateKey");
  }
  std::wstring GetString(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                         const std::optional<std::wstring>& fallback) override {
    HKeyHive h = root(hive);
    Text p(path), n(name), d(fallback.value_or(L"")), result;
    check(object_->Reg_GetSettingString(&h, p.ref(), n.ref(), d.ref(), result.out()), "Reg_GetSettingString");
    return result.text();
  }
  void SaveString(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                  const std::wstring& data) override {
    HKeyHive h = root(hive);
    Text p(path), n(name), d(data);
    check(object_->Reg_SaveSettingString(&h, p.ref(), n.ref(), d.ref()), "Reg_SaveSettingString");
  }
  std::int32_t GetDWord(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                        std::optional<std::int32_t> fallback) override {
    HKeyHive h = root(hive);
    LONG d = fallback.value_or(0);
    LONG result = 0;
    Text p(path), n(name);
    check(object_->Reg_GetSettingDWord(&h, p.ref(), n.ref(), &d, &result), "Reg_GetSettingDWord");
    return result;
  }
  void SaveDWord(std::int32_t hive, const std::wstring& path, const std::wstring& name, std::int32_t data) override {
    HKeyHive h = root(hive);
    LONG d = data;
    Text p(path), n(name);
    check(object_->Reg_SaveSettingDWord(&h, p.ref(), n.ref(), &d), "Reg_SaveSettingDWord");
  }
  std::wstring GetBinary(std::int32_t hive, const std::wstring& path, const std::wstring& name) override {
    HKeyHive h = root(hive);
    Text p(path), n(name), result;
    check(object_->Reg_GetSettingBinary(&h, p.ref(), n.ref(), result.out()), "Reg_GetSettingBinary");
    return result.text();
  }
  void SaveBinary(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                  const std::wstring& data) override {
    HKeyHive h = root(hive);
    Text p(path), n(name), d(data);
    check(object_->Reg_SaveSettingBinary(&h, p.ref(), n.ref(), d.ref()), "Reg_SaveSettingBinary");
  }

 private:
  static HKeyHive root(std::int32_t hive) { return static_cast<HKeyHive>(hive); }

  Apartment apartment_;
  ComPtr<_clsOrvAcctMan> object_ = createComponent();
};

class LateBoundClient final : public RegistryClient {
 public:
  LateBoundClient() {
    if (const ComPtr<_clsOrvAcctMan> object = createComponent()) check(object.As(&object_), "QueryInterface");
  }
  bool created() const { return object_ != nullptr; }

  void DeleteValue(std::int32_t hive, const std::wstring& path, const std::wstring& name) override {
    call(dispid::kRegDeleteValue, {number(hive), text(path), text(name)});
  }
  void DeleteKey(std::int32_t hive, const std::wstring& path) override {
    call(dispid::kRegDeleteKey, {number(hive), text(path)});
  }
  void CreateKey(std::int32_t hive, const std::wstring& path) override {
    call(dispid::kRegCreateKey, {number(hive), text(path)});
  }
  std::wstring GetString(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                         const std::optional<std::wstring>& fallback) override {
    Arguments args{number(hive), text(path), text(name)};
    if (fallback) args.push_back(text(*fallback));
    Result result;
    call(dispid::kRegGetSettingString, args, &result);
    return result.text();
  }
  void SaveString(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                  const std::wstring& data) override {
    call(dispid::kRegSaveSettingString, {number(hive), text(path), text(name), text(data)});
  }
  std::int32_t GetDWord(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                        std::optional<std::int32_t> fallback) override {
    Arguments args{number(hive), text(path), text(name)};
    if (fallback) args.push_back(number(*fallback));
    Result result;
    call(dispid::kRegGetSettingDWord, args, &result);
    if ((*result).vt != VT_I4) throw std::runtime_error("Reg_GetSettingDWord did not return a Long");
    return (*result).lVal;
  }
  void SaveDWord(std::int32_t hive, const std::wstring& path, const std::wstring& name, std::int32_t data) override {
    call(dispid::kRegSaveSettingDWord, {number(hive), text(path), text(name), number(data)});
  }
  std::wstring GetBinary(std::int32_t hive, const std::wstring& path, const std::wstring& name) override {
    Result result;
    call(dispid::kRegGetSettingBinary, {number(hive), text(path), text(name)}, &result);
    return result.text();
  }
  void SaveBinary(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                  const std::wstring& data) override {
    call(dispid::kRegSaveSettingBinary, {number(hive), text(path), text(name), text(data)});
  }

 private:
  using Result = orv::testing::Variant;

  // Arguments by value, owned until the call returns.
  class Arguments {
   public:
    Arguments(std::initializer_list<VARIANT> values) : values_(values) {}
    ~Arguments() {
      for (VARIANT& v : values_) VariantClear(&v);
    }
    Arguments(const Arguments&) = delete;
    Arguments& operator=(const Arguments&) = delete;
    void push_back(VARIANT v) { values_.push_back(v); }
    const std::vector<VARIANT>& values() const { return values_; }

   private:
    std::vector<VARIANT> values_;
  };

  static VARIANT number(std::int32_t value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
  }
  static VARIANT text(const std::wstring& value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    return v;
  }

  void call(DISPID id, const Arguments& args, Result* result = nullptr) {
    check(orv::testing::invoke(object_.Get(), id, args.values(), result != nullptr ? result->get() : nullptr),
          "IDispatch::Invoke");
  }

  Apartment apartment_;
  ComPtr<IDispatch> object_;
};

template <class Client>
std::unique_ptr<RegistryClient> madeIfRegistered() {
  auto client = std::make_unique<Client>();
  if (!client->created()) return nullptr;
  return client;
}

}  // namespace

std::unique_ptr<RegistryClient> makeEarlyBoundClient() { return madeIfRegistered<EarlyBoundClient>(); }
std::unique_ptr<RegistryClient> makeLateBoundClient() { return madeIfRegistered<LateBoundClient>(); }

}  // namespace orv::wintest
