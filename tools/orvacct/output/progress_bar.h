#pragma once
// A progress bar on stderr, drawn only when stderr is a terminal.
#include <cstdint>
#include <string>

#include "cipher/progress_rule.h"

namespace orvacct {

bool stderrIsTerminal();

// A handler for the cipher's Progress event; empty when stderr is not a terminal.
orv::cipher::ProgressHandler progressBar(std::string label);

}  // namespace orvacct
