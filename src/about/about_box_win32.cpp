// The About box of the calling thread on Windows: frmAbout, loaded by whichever step comes first.
#include "about/about_box.h"
#include "about/about_form_win32.h"
#include "about/form_layout.h"
#include "about/open_boxes.h"

namespace orv::about {
namespace {

class Win32AboutBox final : public AboutBox {
 public:
  void setAppName(const std::u16string& text) override { AboutForm::ofThisThread().setText(kIdAppName, text); }
  void setAppVersion(const std::u16string& labelText) override {
    AboutForm::ofThisThread().setText(kIdAppVer, labelText);
  }
  void show() override { AboutForm::ofThisThread().show(); }
};

}  // namespace

std::shared_ptr<AboutBox> platformAboutBox() { return std::make_shared<Win32AboutBox>(); }

void unloadThisThreadsBox() noexcept {
  // Most threads never had a box: look among the thread's windows only while one is open.
  if (openBoxes() == 0) return;
  // Destroyed on its own thread, the window's last message releases the form, as cmdOK does.
  if (const HWND box = AboutForm::windowOfThisThread()) DestroyWindow(box);
}

}  // namespace orv::about
