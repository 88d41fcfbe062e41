#include "base/failure.h"
#include "messaging/message_box.h"

namespace orv::messaging {

void throwMessageNotShown(const MessageBoxRequest& request, std::int32_t number, std::u16string_view reason) {
  std::u16string description = u"Message not shown (";
  description.append(reason).append(u"): ").append(request.title).append(u": ").append(request.text);
  throw Failure(number, std::move(description));
}

}  // namespace orv::messaging
