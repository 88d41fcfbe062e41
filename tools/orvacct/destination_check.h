#pragma once
// A destination file that could never be written is refused before anything is read: a folder,
// or a file in a folder that does not exist or may not be written.
#include <string>

namespace orvacct {

void checkDestination(const std::string& argument);

}  // namespace orvacct
