#pragma once
// A destination file that could never be written is refused before anything is read: a folder,
// something that is no plain file (a device, a pipe), or a file in a folder that does not exist
// or may not be written.
#include <string>

namespace orvacct {

void checkDestination(const std::string& argument);

}  // namespace orvacct
