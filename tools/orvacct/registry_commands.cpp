// orvacct reg: registered when the registry methods land.
#include "commands.h"

namespace orvacct {

void addRegistryCommands(CLI::App&) {}

}  // namespace orvacct
