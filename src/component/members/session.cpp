// The messaging session is not built yet: the three methods exist and do nothing.
#include "component/clsOrvAcctMan.h"

namespace orv {

bool clsOrvAcctMan::Create_Session() { return false; }
void clsOrvAcctMan::Close_Session() {}
bool clsOrvAcctMan::CheckState() { return false; }

}  // namespace orv
