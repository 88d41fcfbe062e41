// Prints the registered type library of OrvAcctMan as text, for comparison with the expected
// dump kept beside this file: library, every type, flags, versions, and for the interface every
// method's DISPID, vtable slot, parameter types, flags and defaults. With --methods it prints the
// length of the suites' method table instead, from which the expected dump's counts are made.
#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <cstdio>
#include <string>

#include "com_test_support.h"
#include "orvacctman_idl.h"

namespace {

using Microsoft::WRL::ComPtr;

std::string narrow(const wchar_t* text) {
  std::string out;
  for (; text != nullptr && *text != 0; ++text) out += static_cast<char>(*text < 128 ? *text : '?');
  return out;
}

std::string guidText(const GUID& guid) {
  wchar_t text[39] = {};
  StringFromGUID2(guid, text, 39);
  return narrow(text);
}

std::string hex(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", value);
  return text;
}

std::string nameOf(ITypeInfo* info, MEMBERID member = MEMBERID_NIL) {
  BSTR name = nullptr;
  if (FAILED(info->GetDocumentation(member, &name, nullptr, nullptr, nullptr))) return "?";
  std::string text = narrow(name);
  SysFreeString(name);
  return text;
}

std::string typeText(ITypeInfo* owner, const TYPEDESC& type) {
  switch (type.vt) {
    case VT_PTR:
      return typeText(owner, *type.lptdesc) + "*";
    case VT_USERDEFINED: {
      ComPtr<ITypeInfo> named;
      if (FAILED(owner->GetRefTypeInfo(type.hreftype, &named))) return "?";
      ComPtr<ITypeLib> library;
      UINT index = 0;
      named->GetContainingTypeLib(&library, &index);
      BSTR libraryName = nullptr;
      library->GetDocumentation(-1, &libraryName, nullptr, nullptr, nullptr);
      const std::string text = narrow(libraryName) + "." + nameOf(named.Get());
      SysFreeString(libraryName);
      return text;
    }
    case VT_BSTR: return "BSTR";
    case VT_I4: return "long";
    case VT_BOOL: return "VARIANT_BOOL";
    case VT_HRESULT: return "HRESULT";
    case VT_VOID: return "void";
    case VT_VARIANT: return "VARIANT";
    case VT_INT: return "int";
    case VT_UINT: return "unsigned int";
    case VT_UI4: return "unsigned long";
    case VT_I2: return "short";
    case VT_UI1: return "unsigned char";
    case VT_DISPATCH: return "IDispatch*";
    case VT_UNKNOWN: return "IUnknown*";
    case VT_LPSTR: return "LPSTR";
    case VT_LPWSTR: return "LPWSTR";
    default: return "vt" + std::to_string(type.vt);
  }
}

std::string paramFlags(USHORT flags) {
  std::string text;
  const auto add = [&](USHORT bit, const char* name) {
    if ((flags & bit) != 0) text += std::string(text.empty() ? "" : ", ") + name;
  };
  add(PARAMFLAG_FIN, "in");
  add(PARAMFLAG_FOUT, "out");
  add(PARAMFLAG_FRETVAL, "retval");
  add(PARAMFLAG_FOPT, "optional");
  add(PARAMFLAG_FHASDEFAULT, "hasdefault");
  add(PARAMFLAG_FLCID, "lcid");
  return "[" + text + "]";
}

std::string defaultText(const PARAMDESC& param) {
  if ((param.wParamFlags & PARAMFLAG_FHASDEFAULT) == 0 || param.pparamdescex == nullptr) return "";
  const VARIANT& value = param.pparamdescex->varDefaultValue;
  if (value.vt == VT_BSTR) return " = \"" + narrow(value.bstrVal) + "\" (BSTR)";
  VARIANT text;
  VariantInit(&text);
  if (FAILED(VariantChangeType(&text, const_cast<VARIANT*>(&value), 0, VT_BSTR))) return " = ?";
  const std::string out = " = " + narrow(text.bstrVal) + " (vt" + std::to_string(value.vt) + ")";
  VariantClear(&text);
  return out;
}

void dumpFunctions(ITypeInfo* info, const TYPEATTR& attributes, const char* side) {
  for (UINT i = 0; i < attributes.cFuncs; ++i) {
    FUNCDESC* function = nullptr;
    if (FAILED(info->GetFuncDesc(i, &function))) continue;
    BSTR names[32] = {};
    UINT count = 0;
    info->GetNames(function->memid, names, 32, &count);
    std::printf("    %s %u: dispid %s %s %s slot %d invkind %d funckind %d callconv %d flags %s params %d opt %d\n",
                side, i, hex(static_cast<unsigned>(function->memid)).c_str(),
                typeText(info, function->elemdescFunc.tdesc).c_str(), narrow(names[0]).c_str(),
                static_cast<int>(function->oVft / static_cast<SHORT>(sizeof(void*))), function->invkind,
                function->funckind, function->callconv, hex(function->wFuncFlags).c_str(), function->cParams,
                function->cParamsOpt);
    for (SHORT p = 0; p < function->cParams; ++p) {
      const ELEMDESC& param = function->lprgelemdescParam[p];
      const std::string name = static_cast<UINT>(p + 1) < count ? narrow(names[p + 1]) : "";
      std::printf("      %s %s %s%s\n", paramFlags(param.paramdesc.wParamFlags).c_str(),
                  typeText(info, param.tdesc).c_str(), name.c_str(), defaultText(param.paramdesc).c_str());
    }
    for (UINT n = 0; n < count; ++n) SysFreeString(names[n]);
    info->ReleaseFuncDesc(function);
  }
}

void dumpType(ITypeInfo* info) {
  TYPEATTR* attributes = nullptr;
  if (FAILED(info->GetTypeAttr(&attributes))) return;
  static const char* const kinds[] = {"enum", "record", "module", "interface", "dispatch", "coclass", "alias", "union"};
  std::printf("  %s %s %s version %u.%u flags %s funcs %u vars %u impltypes %u vtable %u\n",
              kinds[attributes->typekind], nameOf(info).c_str(), guidText(attributes->guid).c_str(),
              attributes->wMajorVerNum, attributes->wMinorVerNum, hex(attributes->wTypeFlags).c_str(),
              attributes->cFuncs, attributes->cVars, attributes->cImplTypes,
              attributes->cbSizeVft / static_cast<unsigned>(sizeof(void*)));
  if (attributes->typekind == TKIND_ALIAS) {
    std::printf("    alias of %s\n", typeText(info, attributes->tdescAlias).c_str());
  }
  for (UINT i = 0; i < attributes->cImplTypes; ++i) {
    HREFTYPE reference = 0;
    INT flags = 0;
    ComPtr<ITypeInfo> implemented;
    if (FAILED(info->GetRefTypeOfImplType(i, &reference)) || FAILED(info->GetRefTypeInfo(reference, &implemented))) {
      continue;
    }
    info->GetImplTypeFlags(i, &flags);
    std::printf("    implements %s flags %s\n", nameOf(implemented.Get()).c_str(), hex(static_cast<unsigned>(flags)).c_str());
  }
  for (UINT i = 0; i < attributes->cVars; ++i) {
    VARDESC* variable = nullptr;
    if (FAILED(info->GetVarDesc(i, &variable))) continue;
    const LONG value = variable->varkind == VAR_CONST ? variable->lpvarValue->lVal : 0;
    std::printf("    const %s %s = %s (vt%d)\n", typeText(info, variable->elemdescVar.tdesc).c_str(),
                nameOf(info, variable->memid).c_str(), hex(static_cast<unsigned>(value)).c_str(),
                variable->varkind == VAR_CONST ? variable->lpvarValue->vt : 0);
    info->ReleaseVarDesc(variable);
  }
  if (attributes->typekind == TKIND_DISPATCH || attributes->typekind == TKIND_INTERFACE) {
    dumpFunctions(info, *attributes, attributes->typekind == TKIND_DISPATCH ? "dispatch" : "vtable");
  }
  // A dual interface's vtable side.
  HREFTYPE vtableSide = 0;
  ComPtr<ITypeInfo> vtable;
  if (attributes->typekind == TKIND_DISPATCH &&
      SUCCEEDED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtableSide)) &&
      SUCCEEDED(info->GetRefTypeInfo(vtableSide, &vtable))) {
    TYPEATTR* vtableAttributes = nullptr;
    if (SUCCEEDED(vtable->GetTypeAttr(&vtableAttributes))) {
      std::printf("    dual vtable side: %s flags %s funcs %u vtable %u\n", nameOf(vtable.Get()).c_str(),
                  hex(vtableAttributes->wTypeFlags).c_str(), vtableAttributes->cFuncs,
                  vtableAttributes->cbSizeVft / static_cast<unsigned>(sizeof(void*)));
      dumpFunctions(vtable.Get(), *vtableAttributes, "vtable");
      vtable->ReleaseTypeAttr(vtableAttributes);
    }
  }
  info->ReleaseTypeAttr(attributes);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--methods") {
    std::printf("%d\n", orv::testing::kMethodCount);
    return 0;
  }
  if (FAILED(CoInitialize(nullptr))) return 2;
  ComPtr<ITypeLib> library;
  const HRESULT loaded = LoadRegTypeLib(LIBID_OrvAcctMan, 4, 6, 0x0409, &library);
  if (FAILED(loaded)) {
    std::printf("LoadRegTypeLib failed: %s\n", hex(static_cast<unsigned>(loaded)).c_str());
    return 1;
  }
  TLIBATTR* attributes = nullptr;
  library->GetLibAttr(&attributes);
  BSTR name = nullptr;
  BSTR doc = nullptr;
  BSTR helpFile = nullptr;
  DWORD helpContext = 0;
  library->GetDocumentation(-1, &name, &doc, &helpContext, &helpFile);
  static const char* const sysKinds[] = {"win16", "win32", "mac", "win64"};
  std::printf("library %s %s version %u.%u lcid %s syskind %s flags %s doc \"%s\" helpfile \"%s\" types %u\n",
              narrow(name).c_str(), guidText(attributes->guid).c_str(), attributes->wMajorVerNum,
              attributes->wMinorVerNum, hex(attributes->lcid).c_str(), sysKinds[attributes->syskind],
              hex(attributes->wLibFlags).c_str(), narrow(doc).c_str(), narrow(helpFile).c_str(),
              library->GetTypeInfoCount());
  SysFreeString(name);
  SysFreeString(doc);
  SysFreeString(helpFile);
  library->ReleaseTLibAttr(attributes);
  for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
    ComPtr<ITypeInfo> info;
    if (SUCCEEDED(library->GetTypeInfo(i, &info))) dumpType(info.Get());
  }
  library.Reset();
  CoUninitialize();
  return 0;
}
