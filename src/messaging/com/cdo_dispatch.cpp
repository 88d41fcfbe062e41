#include "messaging/com/cdo_dispatch.h"

#include <vector>

#include "messaging/com/com_failure.h"

namespace orv::messaging::com {

void invokeMember(IDispatch* target, DISPID member, WORD flags, std::initializer_list<VARIANT> arguments,
                  OwnedVariant& result) {
  // DISPPARAMS holds the arguments last first.
  std::vector<VARIANT> reversed(std::rbegin(arguments), std::rend(arguments));
  DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  EXCEPINFO exception{};
  UINT argumentError = 0;
  VariantClear(result.get());
  const HRESULT outcome = target->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result.get(),
                                         &exception, &argumentError);
  if (FAILED(outcome)) throwDispatchFailure(outcome, exception);
}

void invokeNamed(IDispatch* target, const wchar_t* name, WORD flags, std::initializer_list<VARIANT> arguments,
                 OwnedVariant& result) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID member = DISPID_UNKNOWN;
  const HRESULT outcome = target->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &member);
  if (FAILED(outcome)) throwResultFailure(outcome);
  invokeMember(target, member, flags, arguments, result);
}

VARIANT textArgument(BSTR text) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_BSTR;
  value.bstrVal = text;
  return value;
}

VARIANT shortArgument(SHORT number) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_I2;
  value.iVal = number;
  return value;
}

VARIANT longArgument(LONG number) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_I4;
  value.lVal = number;
  return value;
}

VARIANT booleanArgument(bool flag) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_BOOL;
  value.boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
  return value;
}

VARIANT objectArgument(IDispatch* object) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_DISPATCH;
  value.pdispVal = object;
  return value;
}

}  // namespace orv::messaging::com
