// No desktop outside Windows: the About box takes its texts and shows nothing.
#include "about/about_box.h"

namespace orv::about {
namespace {

class WindowlessAboutBox final : public AboutBox {
 public:
  void setAppName(const std::u16string&) override {}
  void setAppVersion(const std::u16string&) override {}
  void show() override {}
};

}  // namespace

std::shared_ptr<AboutBox> platformAboutBox() { return std::make_shared<WindowlessAboutBox>(); }

void unloadThisThreadsBox() noexcept {}

}  // namespace orv::about
