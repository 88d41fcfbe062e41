#pragma once
// A destination file that could never be written is refused before a key is asked for or
// anything read: a folder, something that is no plain file (a device, a pipe), a file in a folder
// that does not exist or may not be written, or (unless it may be replaced) a file that exists.
#include <string>
#include <vector>

namespace orvacct {

void checkDestination(const std::string& argument, bool mayReplace);

// An existing destination that is one of the paths the run reads, or lies below one of them, is
// refused: the output would replace what it is made from.
void checkNotRead(const std::string& argument, const std::vector<std::string>& readPaths);

}  // namespace orvacct
