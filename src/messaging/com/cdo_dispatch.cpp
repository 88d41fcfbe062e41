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

namespace {

// A VARIANT of this type whose value `fill` sets, borrowed: nothing is owned.
template <class Fill>
VARIANT borrowed(VARTYPE type, Fill fill) {
  VARIANT value;
  VariantInit(&value);
  value.vt = type;
  fill(value);
  return value;
}

}  // namespace

VARIANT textArgument(BSTR text) {
  return borrowed(VT_BSTR, [&](VARIANT& v) { v.bstrVal = text; });
}
VARIANT shortArgument(SHORT number) {
  return borrowed(VT_I2, [&](VARIANT& v) { v.iVal = number; });
}
VARIANT longArgument(LONG number) {
  return borrowed(VT_I4, [&](VARIANT& v) { v.lVal = number; });
}
VARIANT booleanArgument(bool flag) {
  return borrowed(VT_BOOL, [&](VARIANT& v) { v.boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE; });
}
VARIANT objectArgument(IDispatch* object) {
  return borrowed(VT_DISPATCH, [&](VARIANT& v) { v.pdispVal = object; });
}

}  // namespace orv::messaging::com
