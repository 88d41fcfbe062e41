// ShowAbout: the About box of the calling thread gets the client's name and version and is
// shown; the box loads itself on the first of these steps.
#include <string>

#include "about/about_box.h"
#include "about/form_texts.h"
#include "component/clsOrvAcctMan.h"
#include "component/method_guard.h"

namespace orv {

void clsOrvAcctMan::ShowAbout(const std::u16string& sAppName, const std::u16string& sVer) {
  MethodGuard guard(*this, u"ShowAbout");
  about::AboutBox& box = *services_.aboutBox;
  guard.step([&] { box.setAppName(sAppName); });
  guard.step([&] { box.setAppVersion(std::u16string(about::kVersionPrefix) + sVer); });
  guard.step([&] { box.show(); });
}

}  // namespace orv
