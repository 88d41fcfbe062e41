#pragma once
// The nine Reg_ methods as a test calls them, three ways: on the portable class directly,
// through the COM interface's virtual table (early bound) and through IDispatch by DISPID
// (late bound, as script clients call). Making a COM client throws when the class is not
// registered.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace orv::wintest {

class RegistryClient {
 public:
  virtual ~RegistryClient() = default;
  virtual void DeleteValue(std::int32_t hive, const std::wstring& path, const std::wstring& name) = 0;
  virtual void DeleteKey(std::int32_t hive, const std::wstring& path) = 0;
  virtual void CreateKey(std::int32_t hive, const std::wstring& path) = 0;
  // An empty optional leaves Default out of the call.
  virtual std::wstring GetString(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                                 const std::optional<std::wstring>& fallback) = 0;
  virtual void SaveString(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                          const std::wstring& data) = 0;
  virtual std::int32_t GetDWord(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                                std::optional<std::int32_t> fallback) = 0;
  virtual void SaveDWord(std::int32_t hive, const std::wstring& path, const std::wstring& name, std::int32_t data) = 0;
  virtual std::wstring GetBinary(std::int32_t hive, const std::wstring& path, const std::wstring& name) = 0;
  virtual void SaveBinary(std::int32_t hive, const std::wstring& path, const std::wstring& name,
                          const std::wstring& data) = 0;
};

std::unique_ptr<RegistryClient> makeDirectClient();
std::unique_ptr<RegistryClient> makeEarlyBoundClient();
std::unique_ptr<RegistryClient> makeLateBoundClient();

}  // namespace orv::wintest
