#pragma once
// A private copy of a source that can be read only once and has no length (standard input, a
// pipe, a process substitution): encryption must know the length before it writes the header,
// and decryption checks the size descriptor against it before it writes anything. The copy is
// made in pieces, so memory stays small, into a temporary file that no other process can open
// and that goes with the process however it ends.
#include <cstdio>
#include <string>

#include "platform/unique_file.h"

namespace orvacct {

class TemporaryCopy {
 public:
  // Copies `from` to its end; throws ToolError when it cannot, naming the source as `what`.
  TemporaryCopy(std::FILE* from, const std::string& what);

  std::FILE* file() const { return file_.get(); }

 private:
  orv::platform::UniqueFile file_;
};

}  // namespace orvacct
