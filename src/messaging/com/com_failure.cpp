#include "messaging/com/com_failure.h"

#include <wrl/client.h>

#include <utility>

#include "base/failure.h"
#include "messaging/com/com_values.h"
#include "platform/system_message_win32.h"

namespace orv::messaging::com {
namespace {

std::int32_t signedNumber(HRESULT result) { return static_cast<std::int32_t>(result); }

}  // namespace

std::u16string systemMessage(HRESULT result) {
  std::u16string text = platform::systemMessage(static_cast<DWORD>(result));
  return text.empty() ? std::u16string(u"Automation error") : text;
}

void throwResultFailure(HRESULT result) { throw Failure(signedNumber(result), systemMessage(result)); }

void throwCallFailure(HRESULT result, IUnknown* object, REFIID calledInterface) {
  std::u16string description;
  Microsoft::WRL::ComPtr<ISupportErrorInfo> support;
  if (object != nullptr && SUCCEEDED(object->QueryInterface(IID_PPV_ARGS(&support))) &&
      support->InterfaceSupportsErrorInfo(calledInterface) == S_OK) {
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.ReleaseAndGetAddressOf()) == S_OK && info) {
      BSTR text = nullptr;
      if (SUCCEEDED(info->GetDescription(&text))) description = textOf(UniqueBstr(text).get());
    }
  }
  if (description.empty()) description = systemMessage(result);
  throw Failure(signedNumber(result), std::move(description));
}

void throwDispatchFailure(HRESULT result, EXCEPINFO& exception) {
  if (result == DISP_E_EXCEPTION && exception.pfnDeferredFillIn != nullptr) exception.pfnDeferredFillIn(&exception);
  // The texts are ours to free, whoever filled them.
  const UniqueBstr source(std::exchange(exception.bstrSource, nullptr));
  const UniqueBstr helpFile(std::exchange(exception.bstrHelpFile, nullptr));
  const UniqueBstr text(std::exchange(exception.bstrDescription, nullptr));
  if (result != DISP_E_EXCEPTION) throw Failure(signedNumber(result), systemMessage(result));
  const HRESULT number = exception.scode != 0   ? exception.scode
                         : exception.wCode != 0 ? static_cast<HRESULT>(exception.wCode)
                                                : result;
  std::u16string description = textOf(text.get());
  if (description.empty()) description = systemMessage(number);
  throw Failure(signedNumber(number), std::move(description));
}

}  // namespace orv::messaging::com
