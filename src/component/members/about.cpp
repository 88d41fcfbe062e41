// ShowAbout: the About box of the calling thread gets the client's name and version and is
// shown; the box loads itself on the first of these steps.
#include <string>

#include "about/about_box.h"
#include "about/form_texts.h"
#include "base/failure.h"
#include "component/clsOrvAcctMan.h"
#include "component/method_guard.h"

namespace orv {
namespace {

about::AboutBox& aboutBox(const Services& services) {
  if (!services.aboutBox) throwObjectVariableNotSet();
  return *services.aboutBox;
}

}  // namespace

void clsOrvAcctMan::ShowAbout(const std::u16string& sAppName, const std::u16string& sVer) {
  MethodGuard guard(*this, u"ShowAbout");
  guard.step([&] { aboutBox(services_).setAppName(sAppName); });
  guard.step([&] { aboutBox(services_).setAppVersion(std::u16string(about::kVersionPrefix) + sVer); });
  guard.step([&] { aboutBox(services_).show(); });
}

}  // namespace orv
