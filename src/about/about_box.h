#pragma once
// The About box seam: what ShowAbout does to the box of the calling thread, step by step.
// Each operation first loads the box when the thread has none loaded (the load handler sets
// the caption and the title); a failing operation throws orv::Failure.
//
// On Windows it is frmAbout, a modeless window per client thread. Elsewhere there is no
// desktop to show it on: platformAboutBox() gives a box without a window that accepts the
// texts and shows nothing, so ShowAbout there returns quietly and logs nothing.
#include <memory>
#include <string>

namespace orv::about {

class AboutBox {
 public:
  virtual ~AboutBox() = default;
  virtual void setAppName(const std::u16string& text) = 0;
  virtual void setAppVersion(const std::u16string& labelText) = 0;  // the label's whole text, "VER ..."
  virtual void show() = 0;
};

std::shared_ptr<AboutBox> platformAboutBox();

// Unloads the calling thread's box, if it has one, as cmdOK would: for a thread that is ending,
// whose windows the system would otherwise take without telling the box.
void unloadThisThreadsBox() noexcept;

}  // namespace orv::about
