// The resources of the DLL file: version, type library and the interface identifier list.
#include <cstring>
#include <vector>

#include "com_fixtures.h"
#include "com/interface_ids.h"

namespace orv::testing {
namespace {

class ResourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExW(ORVACCT_DLL_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(nullptr, module_);
  }
  void TearDown() override { FreeLibrary(module_); }

  std::vector<unsigned char> resource(const wchar_t* type, const wchar_t* name) {
    HRSRC found = FindResourceW(module_, name, type);
    if (found == nullptr) return {};
    const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(module_, found)));
    return std::vector<unsigned char>(bytes, bytes + SizeofResource(module_, found));
  }

  HMODULE module_ = nullptr;
};

std::wstring versionString(const std::vector<unsigned char>& block, const wchar_t* name) {
  void* value = nullptr;
  UINT length = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
  if (!VerQueryValueW(block.data(), path.c_str(), &value, &length)) return L"<missing>";
  return length == 0 ? std::wstring() : std::wstring(static_cast<const wchar_t*>(value));
}

TEST_F(ResourceTest, VersionResourceNamesTheComponentAndMarksItSelfRegistering) {
  DWORD ignored = 0;
  std::vector<unsigned char> block(GetFileVersionInfoSizeW(ORVACCT_DLL_PATH, &ignored));
  ASSERT_FALSE(block.empty());
  ASSERT_TRUE(GetFileVersionInfoW(ORVACCT_DLL_PATH, 0, static_cast<DWORD>(block.size()), block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
  // The component's own version 1.0.1, whatever the release that ships it: numeric 1.0.0.1 and
  // text "1.00.0001", as the component has always had them.
  EXPECT_EQ(MAKELONG(0, 1), fixed->dwFileVersionMS);
  EXPECT_EQ(MAKELONG(1, 0), fixed->dwFileVersionLS);
  EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
  EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);

  EXPECT_EQ(L"1.00.0001", versionString(block, L"FileVersion"));
  EXPECT_EQ(L"1.00.0001", versionString(block, L"ProductVersion"));
  EXPECT_EQ(L"OrvAcctMan", versionString(block, L"ProductName"));
  EXPECT_EQ(L"OrvAcctMan", versionString(block, L"InternalName"));
  EXPECT_EQ(L"OrvAcctMan.dll", versionString(block, L"OriginalFilename"));
  EXPECT_EQ(L"", versionString(block, L"OLESelfRegister"));
  EXPECT_NE(L"<missing>", versionString(block, L"CompanyName"));
}

TEST_F(ResourceTest, TypeLibraryIsResourceOne) {
  const std::vector<unsigned char> library = resource(L"TYPELIB", MAKEINTRESOURCEW(1));
  ASSERT_GE(library.size(), 4u);
  EXPECT_EQ(0, std::memcmp(library.data(), "MSFT", 4));
}

// A 32-bit byte count, then each identifier's 16 bytes, the oldest first and the current last.
TEST_F(ResourceTest, InterfaceIdentifierListHoldsEveryIdentifierOldestFirst) {
  const std::vector<unsigned char> list = resource(MAKEINTRESOURCEW(10) /* RT_RCDATA */, L"_IID_CLSORVACCTMAN");
  const std::size_t identifiers = com::kInterfaceIds.size();
  ASSERT_EQ(4u + identifiers * 16u, list.size());
  std::uint32_t count = 0;
  std::memcpy(&count, list.data(), 4);
  EXPECT_EQ(identifiers * 16u, count);
  for (std::size_t i = 0; i < identifiers; ++i) {
    GUID stored{};
    std::memcpy(&stored, list.data() + 4 + i * 16, 16);
    EXPECT_TRUE(IsEqualGUID(com::kInterfaceIds[i], stored)) << i;
  }
  EXPECT_TRUE(IsEqualGUID(IID__clsOrvAcctMan, com::kInterfaceIds.back()));
}

}  // namespace
}  // namespace orv::testing
