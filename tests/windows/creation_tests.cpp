// Creation through the registry (by CLSID and by ProgID), the type library's keys, the interfaces
// one object answers to, and the server's unload test.
#include "com_fixtures.h"
#include "com/interface_ids.h"

namespace orv::testing {
namespace {

using CreationTest = ComTest;

TEST_F(CreationTest, ByClsidAndByProgIdGiveWorkingObjects) {
  ComPtr<_clsOrvAcctMan> byClsid = create();
  ASSERT_TRUE(byClsid);

  CLSID fromProgId{};
  ASSERT_EQ(S_OK, CLSIDFromProgID(L"OrvAcctMan.clsOrvAcctMan", &fromProgId));
  EXPECT_TRUE(IsEqualCLSID(fromProgId, CLSID_clsOrvAcctMan));
  ComPtr<IDispatch> byProgId;
  ASSERT_EQ(S_OK, CoCreateInstance(fromProgId, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&byProgId)));

  Bstr result;
  Bstr input(L"it's");
  ASSERT_EQ(S_OK, byClsid->DeTick(input.ref(), result.out()));
  EXPECT_EQ(L"it''s", result.text());
}

std::wstring classesValue(const std::wstring& key) {
  wchar_t buffer[1024] = {};
  DWORD size = sizeof(buffer);
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) {
    return L"(missing)";
  }
  return buffer;
}

// Registration writes the type library's name and flags as fixed text (the MSI packages carry the
// same rows): they must be what the library itself says, as RegisterTypeLib would write them.
TEST_F(CreationTest, TheTypeLibrarysKeysAreWhatTheLibrarySays) {
  wchar_t classId[39] = {}, libraryId[39] = {};
  StringFromGUID2(CLSID_clsOrvAcctMan, classId, 39);
  StringFromGUID2(LIBID_OrvAcctMan, libraryId, 39);
  const std::wstring key =
      std::wstring(L"TypeLib\\") + libraryId + L"\\" + classesValue(std::wstring(L"CLSID\\") + classId + L"\\VERSION");
  const std::wstring path = classesValue(key + (sizeof(void*) == 8 ? L"\\409\\win64" : L"\\409\\win32"));
  ComPtr<ITypeLib> library;
  ASSERT_EQ(S_OK, LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library)) << path;
  TLIBATTR* attributes = nullptr;
  ASSERT_EQ(S_OK, library->GetLibAttr(&attributes));
  const unsigned flags = attributes->wLibFlags;
  library->ReleaseTLibAttr(attributes);
  EXPECT_EQ(std::to_wstring(flags), classesValue(key + L"\\FLAGS"));
  Bstr name;
  ASSERT_EQ(S_OK, library->GetDocumentation(-1, name.out(), nullptr, nullptr, nullptr));
  EXPECT_EQ(name.text(), classesValue(key));
}

TEST_F(CreationTest, EveryInterfaceIdentifierGivesTheOneInterface) {
  ComPtr<_clsOrvAcctMan> object = create();
  ASSERT_TRUE(object);
  ComPtr<IUnknown> identity;
  ASSERT_EQ(S_OK, object.As(&identity));
  for (const GUID& iid : com::kInterfaceIds) {
    ComPtr<_clsOrvAcctMan> through;
    ASSERT_EQ(S_OK, object->QueryInterface(iid, reinterpret_cast<void**>(through.GetAddressOf())));
    EXPECT_EQ(object.Get(), through.Get());
    // A client compiled against an earlier identifier calls the same vtable.
    Bstr input(L"a'b");
    Bstr result;
    ASSERT_EQ(S_OK, through->DeTick(input.ref(), result.out()));
    EXPECT_EQ(L"a''b", result.text());
  }
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(S_OK, object.As(&dispatch));
  EXPECT_EQ(static_cast<IUnknown*>(object.Get()), static_cast<IUnknown*>(dispatch.Get()));

  ComPtr<IUnknown> other;
  EXPECT_EQ(E_NOINTERFACE, object->QueryInterface(IID_IPersist, reinterpret_cast<void**>(other.GetAddressOf())));
  EXPECT_FALSE(other);
}

TEST_F(CreationTest, AggregationIsRefused) {
  ComPtr<IUnknown> outer;
  ASSERT_EQ(S_OK, CoCreateInstance(CLSID_clsOrvAcctMan, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&outer)));
  IUnknown* inner = nullptr;
  EXPECT_EQ(CLASS_E_NOAGGREGATION,
            CoCreateInstance(CLSID_clsOrvAcctMan, outer.Get(), CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&inner)));
  EXPECT_EQ(nullptr, inner);
}

// The DLL loaded directly, as COM loads it: it may unload only when no object and no lock is alive.
TEST_F(CreationTest, CanUnloadOnlyWithoutObjectsAndLocks) {
  HMODULE dll = LoadLibraryW(ORVACCT_DLL_PATH);
  ASSERT_NE(nullptr, dll);
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
  auto getClassObject = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")));
  auto canUnloadNow = reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(GetProcAddress(dll, "DllCanUnloadNow")));
  ASSERT_NE(nullptr, getClassObject);
  ASSERT_NE(nullptr, canUnloadNow);
  EXPECT_EQ(S_OK, canUnloadNow());

  {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, getClassObject(CLSID_clsOrvAcctMan, IID_PPV_ARGS(&factory)));
    EXPECT_EQ(S_FALSE, canUnloadNow());
    ComPtr<_clsOrvAcctMan> object;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_PPV_ARGS(&object)));
    factory.Reset();
    EXPECT_EQ(S_FALSE, canUnloadNow());
    object.Reset();
  }
  EXPECT_EQ(S_OK, canUnloadNow());

  ComPtr<IClassFactory> factory;
  ASSERT_EQ(S_OK, getClassObject(CLSID_clsOrvAcctMan, IID_PPV_ARGS(&factory)));
  ASSERT_EQ(S_OK, factory->LockServer(TRUE));
  factory.Reset();
  EXPECT_EQ(S_FALSE, canUnloadNow());
  ASSERT_EQ(S_OK, getClassObject(CLSID_clsOrvAcctMan, IID_PPV_ARGS(&factory)));
  ASSERT_EQ(S_OK, factory->LockServer(FALSE));
  factory.Reset();
  EXPECT_EQ(S_OK, canUnloadNow());

  IUnknown* none = nullptr;
  EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, getClassObject(IID_IUnknown, IID_IClassFactory, reinterpret_cast<void**>(&none)));
  FreeLibrary(dll);
}

}  // namespace
}  // namespace orv::testing
