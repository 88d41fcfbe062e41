// The About box is not built yet: ShowAbout exists and does nothing.
#include "component/clsOrvAcctMan.h"

namespace orv {

void clsOrvAcctMan::ShowAbout(const std::u16string&, const std::u16string&) {}

}  // namespace orv
