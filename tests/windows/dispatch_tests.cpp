// Late binding: names to DISPIDs, the type information handed out, and the component's own
// argument handling (by-reference variants, conversions, omitted optional arguments, errors).
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "com_fixtures.h"
#include "support/temp_folder.h"

namespace orv::testing {
namespace {

using DispatchTest = ObjectTest;

TEST_F(DispatchTest, NamesGiveTheirFixedDispids) {
  std::vector<std::pair<const wchar_t*, DISPID>> expected;
  for (const Method& method : kMethods) expected.emplace_back(method.name, method.id);
  expected.emplace_back(L"detick", dispid::DeTick);  // names are found in any case
  for (const auto& [name, id] : expected) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID found = 0;
    ASSERT_EQ(S_OK, dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &found)) << name;
    EXPECT_EQ(id, found) << name;
  }
  LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"NoSuchMethod")};
  DISPID found = 0;
  EXPECT_EQ(DISP_E_UNKNOWNNAME, dispatch_->GetIDsOfNames(IID_NULL, unknown, 1, LOCALE_USER_DEFAULT, &found));
}

TEST_F(DispatchTest, TypeInformationIsTheDualInterface) {
  UINT count = 0;
  ASSERT_EQ(S_OK, dispatch_->GetTypeInfoCount(&count));
  EXPECT_EQ(1u, count);
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(S_OK, dispatch_->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info));
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(S_OK, info->GetTypeAttr(&attributes));
  EXPECT_TRUE(IsEqualGUID(IID__clsOrvAcctMan, attributes->guid));
  EXPECT_EQ(TKIND_DISPATCH, attributes->typekind);
  EXPECT_NE(0, attributes->wTypeFlags & TYPEFLAG_FDUAL);
  info->ReleaseTypeAttr(attributes);
  ComPtr<ITypeInfo> none;
  EXPECT_EQ(DISP_E_BADINDEX, dispatch_->GetTypeInfo(1, LOCALE_USER_DEFAULT, &none));
}

TEST_F(DispatchTest, TypedByReferenceArgumentsAreReadAndLeftAlone) {
  BSTR variable = SysAllocString(L"don't");
  const BSTR original = variable;
  Variant result;
  ASSERT_EQ(S_OK, invoke(dispatch_.Get(), dispid::DeTick, {byRefBstr(&variable)}, result.get()));
  EXPECT_EQ(L"don''t", result.text());
  EXPECT_EQ(original, variable);  // unchanged text keeps the caller's own BSTR
  SysFreeString(variable);
}

TEST_F(DispatchTest, ArgumentsAreConvertedToTheDeclaredType) {
  Variant number(static_cast<LONG>(12345));
  Variant result;
  ASSERT_EQ(S_OK, invoke(dispatch_.Get(), dispid::DeTick, {byRefVariant(number)}, result.get()));
  EXPECT_EQ(L"12345", result.text());
  EXPECT_EQ(VT_I4, (*number).vt);  // the caller's variable keeps its type

  TempFolder folder;
  Variant path(folder.path().wstring().c_str());
  Variant name(L"Converted");
  Variant numberAsText(L"-42");
  Variant text(L"d");
  ASSERT_EQ(S_OK, invoke(dispatch_.Get(), dispid::LogErrors,
                         {byValue(path), byValue(name), byRefVariant(numberAsText), byValue(text), byValue(text),
                          byValue(text), omittedArgument(), byValue(text)}));
  std::ifstream in(folder.path() / "Logs" / (L"converted-" + todayStamp() + L".log"), std::ios::binary);
  std::ostringstream record;
  record << in.rdbuf();
  EXPECT_NE(std::string::npos, record.str().find("Error Number: -42\r\n"));
  EXPECT_NE(std::string::npos, record.str().find("Version Number: .d.\r\n"));  // an omitted middle part is empty
  EXPECT_EQ(VT_BSTR, (*numberAsText).vt);

  // JScript's 0x80004005 is a double beyond a Long: its bits are taken, as the HRESULT it names.
  Variant unsignedName(L"Unsigned");
  Variant unsignedNumber;
  unsignedNumber.get()->vt = VT_R8;
  unsignedNumber.get()->dblVal = 2147500037.0;
  ASSERT_EQ(S_OK, invoke(dispatch_.Get(), dispid::LogErrors,
                         {byValue(path), byValue(unsignedName), byValue(unsignedNumber), byValue(text), byValue(text),
                          byValue(text)}));
  std::ifstream unsignedLog(folder.path() / "Logs" / (L"unsigned-" + todayStamp() + L".log"), std::ios::binary);
  std::ostringstream unsignedRecord;
  unsignedRecord << unsignedLog.rdbuf();
  EXPECT_NE(std::string::npos, unsignedRecord.str().find("Error Number: -2147467259\r\n"));

  Variant tooBig;
  tooBig.get()->vt = VT_R8;
  tooBig.get()->dblVal = 4294967296.0;
  EXPECT_EQ(DISP_E_TYPEMISMATCH, invoke(dispatch_.Get(), dispid::LogErrors,
                                        {byValue(path), byValue(name), byValue(tooBig), byValue(text), byValue(text),
                                         byValue(text)}));
}

TEST_F(DispatchTest, CallerMistakesAreAnsweredAsAutomationErrors) {
  Variant text(L"x");
  UINT argumentError = 99;
  EXPECT_EQ(DISP_E_BADPARAMCOUNT, invoke(dispatch_.Get(), dispid::DeTick, {byValue(text), byValue(text)}));
  EXPECT_EQ(DISP_E_PARAMNOTOPTIONAL, invoke(dispatch_.Get(), dispid::DeTick, {}));
  EXPECT_EQ(DISP_E_PARAMNOTOPTIONAL, invoke(dispatch_.Get(), dispid::DeTick, {omittedArgument()}));
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, invoke(dispatch_.Get(), 0x60030099, {}));

  VARIANT unknown;
  VariantInit(&unknown);
  unknown.vt = VT_UNKNOWN;
  unknown.punkVal = nullptr;
  EXPECT_EQ(DISP_E_TYPEMISMATCH,
            invoke(dispatch_.Get(), dispid::PurgeLogs, {byValue(text), unknown}, nullptr, &argumentError));
  EXPECT_EQ(0u, argumentError);  // rgvarg position of the second argument

  DISPID named = 0;
  VARIANT argument = byValue(text);
  DISPPARAMS params{&argument, &named, 1, 1};
  UINT error = 0;
  EXPECT_EQ(DISP_E_NONAMEDARGS,
            dispatch_->Invoke(dispid::DeTick, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                              nullptr, &error));
}

TEST_F(DispatchTest, PropertyGetStyleCallsReachMethodsWithoutArguments) {
  // VBScript's `x = o.CreateGUID` asks for a property get and a method at once.
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  Variant result;
  UINT error = 0;
  ASSERT_EQ(S_OK, dispatch_->Invoke(dispid::CreateGUID, IID_NULL, LOCALE_USER_DEFAULT,
                                    DISPATCH_METHOD | DISPATCH_PROPERTYGET, &none, result.get(), nullptr, &error));
  EXPECT_EQ(38u, result.text().size());
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, dispatch_->Invoke(dispid::CreateGUID, IID_NULL, LOCALE_USER_DEFAULT,
                                                     DISPATCH_PROPERTYPUT, &none, nullptr, nullptr, &error));
}

}  // namespace
}  // namespace orv::testing
