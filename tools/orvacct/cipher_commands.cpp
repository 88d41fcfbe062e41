// orvacct pwd, orvacct file: registered when the cipher lands.
#include "commands.h"

namespace orvacct {

void addCipherCommands(CLI::App&) {}

}  // namespace orvacct
