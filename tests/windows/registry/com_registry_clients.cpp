// clsOrvAcctMan through COM: early bound through the interface of the type library's header,
// late bound through IDispatch::Invoke by DISPID with arguments by value, as script engines
// pass them. Texts travel length-counted, so embedded NULs survive both ways.
#include <stdexcept>
#include <vector>

#include "com_test_support.h"
#include "registry_clients.h"

// The hive type here is the type library's (global), not the core's orv::HKeyHive.
namespace orv::wintest {
namespace {

using orv::testing::Apartment;
using orv::testing::check;
using orv::testing::ComPtr;
using orv::testing::createComponent;
using Text = orv::testing::Bstr;
namespace dispid = orv::testing::dispid;

class EarlyBoundClient final : public RegistryClient {
 public:
  void DeleteValue(std::int32_t hive, const std::wstring& path, const std::wstring& name) override {
    ::HKeyHive h = root(hive);
    check(object_->Reg_DeleteValue(&h, Text(path).get(), Text(name).get()), "Reg_DeleteValue");
  }
  void DeleteKey(std::int32_t hive, const std::wstring& path) override {
    ::HKeyHive h = root(hive);
    check(object_->Reg_DeleteKey(&h, Text(path).get()), "Reg_DeleteKey");
  }
  void CreateKey(std::int32_t hive, const std::wstring& path) override {
    ::HKeyHive h = root(hive);
    Text p(path);
    check(object_->Reg_CreateKey(&h, p.ref()), "Reg_CreateKey");
  }
  std::wstring GetString(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                         const std::optional<std::wstring>& fallback) override {
    ::HKeyHive h = root(hive);
    Text p(path), n(name), d(fallback.value_or(L"")), result;
    check(object_->Reg_GetSettingString(&h, p.ref(), n.ref(), d.ref(), result.out()), "Reg_GetSettingString");
    return result.text();
  }
  void SaveString(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                  const std::wstring& data) override {
    ::HKeyHive h = root(hive);
    Text p(path), n(name), d(data);
    check(object_->Reg_SaveSettingString(&h, p.ref(), n.ref(), d.ref()), "Reg_SaveSettingString");
  }
  std::int32_t GetDWord(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                        std::optional<std::int32_t> fallback) override {
    ::HKeyHive h = root(hive);
    LONG d = fallback.value_or(0);
    LONG result = 0;
    Text p(path), n(name);
    check(object_->Reg_GetSettingDWord(&h, p.ref(), n.ref(), &d, &result), "Reg_GetSettingDWord");
    return result;
  }
  void SaveDWord(std::int32_t hive, const std::wstring& path, const std::wstring& name, std::int32_t data) override {
    ::HKeyHive h = root(hive);
    LONG d = data;
    Text p(path), n(name);
    check(object_->Reg_SaveSettingDWord(&h, p.ref(), n.ref(), &d), "Reg_SaveSettingDWord");
  }
  std::wstring GetBinary(std::int32_t hive, const std::wstring& path, const std::wstring& name) override {
    ::HKeyHive h = root(hive);
    Text p(path), n(name), result;
    check(object_->Reg_GetSettingBinary(&h, p.ref(), n.ref(), result.out()), "Reg_GetSettingBinary");
    return result.text();
  }
  void SaveBinary(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                  const std::wstring& data) override {
    ::HKeyHive h = root(hive);
    Text p(path), n(name), d(data);
    check(object_->Reg_SaveSettingBinary(&h, p.ref(), n.ref(), d.ref()), "Reg_SaveSettingBinary");
  }

 private:
  static ::HKeyHive root(std::int32_t hive) { return static_cast<::HKeyHive>(hive); }

  Apartment apartment_;
  ComPtr<_clsOrvAcctMan> object_ = createComponent();
};

class LateBoundClient final : public RegistryClient {
 public:
  LateBoundClient() { check(createComponent().As(&object_), "QueryInterface"); }

  void DeleteValue(std::int32_t hive, const std::wstring& path, const std::wstring& name) override {
    call(dispid::Reg_DeleteValue, {number(hive), text(path), text(name)});
  }
  void DeleteKey(std::int32_t hive, const std::wstring& path) override {
    call(dispid::Reg_DeleteKey, {number(hive), text(path)});
  }
  void CreateKey(std::int32_t hive, const std::wstring& path) override {
    call(dispid::Reg_CreateKey, {number(hive), text(path)});
  }
  std::wstring GetString(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                         const std::optional<std::wstring>& fallback) override {
    Arguments args{number(hive), text(path), text(name)};
    if (fallback) args.push_back(text(*fallback));
    Result result;
    call(dispid::Reg_GetSettingString, args, &result);
    return result.text();
  }
  void SaveString(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                  const std::wstring& data) override {
    call(dispid::Reg_SaveSettingString, {number(hive), text(path), text(name), text(data)});
  }
  std::int32_t GetDWord(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                        std::optional<std::int32_t> fallback) override {
    Arguments args{number(hive), text(path), text(name)};
    if (fallback) args.push_back(number(*fallback));
    Result result;
    call(dispid::Reg_GetSettingDWord, args, &result);
    if ((*result).vt != VT_I4) throw std::runtime_error("Reg_GetSettingDWord did not return a Long");
    return (*result).lVal;
  }
  void SaveDWord(std::int32_t hive, const std::wstring& path, const std::wstring& name, std::int32_t data) override {
    call(dispid::Reg_SaveSettingDWord, {number(hive), text(path), text(name), number(data)});
  }
  std::wstring GetBinary(std::int32_t hive, const std::wstring& path, const std::wstring& name) override {
    Result result;
    call(dispid::Reg_GetSettingBinary, {number(hive), text(path), text(name)}, &result);
    return result.text();
  }
  void SaveBinary(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                  const std::wstring& data) override {
    call(dispid::Reg_SaveSettingBinary, {number(hive), text(path), text(name), text(data)});
  }

 private:
  using Result = orv::testing::Variant;

  using Arguments = orv::testing::VariantList;
  static VARIANT number(std::int32_t value) { return orv::testing::numberArgument(value); }
  static VARIANT text(const std::wstring& value) { return orv::testing::textArgument(value); }

  void call(DISPID id, const Arguments& args, Result* result = nullptr) {
    check(orv::testing::invoke(object_.Get(), id, args.values(), result != nullptr ? result->get() : nullptr),
          "IDispatch::Invoke");
  }

  Apartment apartment_;
  ComPtr<IDispatch> object_;
};

}  // namespace

std::unique_ptr<RegistryClient> makeEarlyBoundClient() { return std::make_unique<EarlyBoundClient>(); }
std::unique_ptr<RegistryClient> makeLateBoundClient() { return std::make_unique<LateBoundClient>(); }

}  // namespace orv::wintest
