#pragma once
// The command line as UTF-8, which every subcommand takes its text in. Windows hands main its
// arguments in the ANSI code page, so there they are read again from the wide command line.
#include <string>
#include <vector>

namespace orvacct {

// All arguments after the program name.
std::vector<std::string> utf8Arguments(int argc, char** argv);

}  // namespace orvacct
