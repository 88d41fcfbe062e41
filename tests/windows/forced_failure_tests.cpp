// A failure inside a method lands in the component's own log beside the DLL, as
// "orvacctman-MMDDYYYY.log", and the client still sees S_OK; when that log cannot be written
// the report is lost and the client still sees S_OK. What is thrown at the boundary itself
// becomes the call's HRESULT.
#include <filesystem>
#include <iterator>
#include <fstream>
#include <sstream>

#include "com_fixtures.h"
#include "support/temp_folder.h"

namespace orv::testing {
namespace {

using ForcedFailureTest = ComTest;

// The DLL loaded from its file, without registration; its objects must be gone before it is.
class LoadedServer {
 public:
  explicit LoadedServer(const std::filesystem::path& dll) : module_(LoadLibraryW(dll.c_str())) {}
  ~LoadedServer() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  LoadedServer(const LoadedServer&) = delete;
  LoadedServer& operator=(const LoadedServer&) = delete;

  ComPtr<_clsOrvAcctMan> create() const {
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    const auto getClassObject =
        reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
    ComPtr<IClassFactory> factory;
    ComPtr<_clsOrvAcctMan> object;
    if (getClassObject != nullptr && getClassObject(CLSID_clsOrvAcctMan, IID_PPV_ARGS(&factory)) == S_OK) {
      EXPECT_EQ(S_OK, factory->CreateInstance(nullptr, IID_PPV_ARGS(&object)));
    }
    return object;
  }

 private:
  HMODULE module_;
};

// Calls CreateGUID, whose GUID source fails.
void createGuidThrough(const std::filesystem::path& dll) {
  const LoadedServer server(dll);
  const ComPtr<_clsOrvAcctMan> object = server.create();
  ASSERT_TRUE(object) << dll.string();
  Bstr result;
  EXPECT_EQ(S_OK, object->CreateGUID(result.out()));
  EXPECT_EQ(L"", result.text());
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

// The test build throws std::bad_alloc as a late-bound DeTick's arguments are converted: the
// client is told E_OUTOFMEMORY and goes on with the same object.
TEST_F(ForcedFailureTest, AnInvokeThatRunsOutOfMemoryConvertingArgumentsSaysSoAndTheClientGoesOn) {
  const LoadedServer server(ORVACCT_FAILING_DLL_PATH);
  ComPtr<_clsOrvAcctMan> object = server.create();
  ASSERT_TRUE(object);
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(S_OK, object.As(&dispatch));

  const VariantList arguments{textArgument(L"it's")};
  Variant result;
  EXPECT_EQ(E_OUTOFMEMORY, invoke(dispatch.Get(), dispid::DeTick, arguments.values(), result.get()));
  EXPECT_EQ(VT_EMPTY, (*result).vt);

  EXPECT_EQ(S_OK, invoke(dispatch.Get(), dispid::Close_Session, {}));
  Bstr ticked(L"it's"), detick;
  EXPECT_EQ(S_OK, object->DeTick(ticked.ref(), detick.out()));
  EXPECT_EQ(L"it''s", detick.text());
}

}  // namespace
}  // namespace orv::testing
