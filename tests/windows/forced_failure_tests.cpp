// A failure inside a method lands in the component's own log beside the DLL, as
// "orvacctman-MMDDYYYY.log", and the client still sees S_OK; when that log cannot be written
// the report is lost and the client still sees S_OK.
#include <filesystem>
#include <iterator>
#include <fstream>
#include <sstream>

#include "com_fixtures.h"
#include "support/temp_folder.h"

namespace orv::testing {
namespace {

using ForcedFailureTest = ComTest;

// Loads the DLL from its file (no registration) and calls CreateGUID, whose GUID source fails.
void createGuidThrough(const std::filesystem::path& dll) {
  HMODULE module = LoadLibraryW(dll.c_str());
  ASSERT_NE(nullptr, module) << dll.string();
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  auto getClassObject = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  ASSERT_NE(nullptr, getClassObject);
  {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, getClassObject(CLSID_clsOrvAcctMan, IID_PPV_ARGS(&factory)));
    ComPtr<_clsOrvAcctMan> object;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_PPV_ARGS(&object)));
    Bstr result;
    EXPECT_EQ(S_OK, object->CreateGUID(result.out()));
    EXPECT_EQ(L"", result.text());
  }
  FreeLibrary(module);
}

TEST_F(ForcedFailureTest, FailureIsLoggedBesideTheDllAndTheCallSucceeds) {
  const std::filesystem::path dll(ORVACCT_FAILING_DLL_PATH);
  const std::filesystem::path log = dll.parent_path() / "Logs" / (L"orvacctman-" + todayStamp() + L".log");
  std::error_code ignored;
  std::filesystem::remove(log, ignored);

  createGuidThrough(dll);

  std::ifstream in(log, std::ios::binary);
  ASSERT_TRUE(in) << log.string();
  std::ostringstream record;
  record << in.rdbuf();
  EXPECT_NE(std::string::npos, record.str().find("Error Description: Not enough storage is available\r\n"
                                                 "Error Number: -2147024882\r\n"
                                                 "Module Name: clsOrvAcctMan\r\n"
                                                 "Procedure Name: CreateGUID() As String\r\n"
                                                 "Version Number: 1.0.1\r\n"))
      << record.str();
}

TEST_F(ForcedFailureTest, ALogThatCannotBeWrittenLosesTheReportAndTheCallStillSucceeds) {
  TempFolder folder;
  const std::filesystem::path copy = folder.path() / "OrvAcctMan.dll";
  std::filesystem::copy_file(ORVACCT_FAILING_DLL_PATH, copy);
  std::ofstream(folder.path() / "Logs") << "a file where the Logs folder would be";

  createGuidThrough(copy);

  EXPECT_TRUE(std::filesystem::is_regular_file(folder.path() / "Logs"));
  EXPECT_EQ(2u, static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder.path()),
                                                       std::filesystem::directory_iterator())));
}

}  // namespace
}  // namespace orv::testing
