// Outside Windows there is nowhere to show a box: it is reported instead.
#include "messaging/message_box.h"

namespace orv::messaging {

ShowMessageBox platformMessageBox() {
  return [](const MessageBoxRequest& request) {
    throwMessageNotShown(request, kNotInteractive, u"message boxes exist only on Windows");
  };
}

}  // namespace orv::messaging
