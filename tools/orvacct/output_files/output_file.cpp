#include "output_files/output_file.h"

#include <cstdint>
#include <system_error>

#include "input/input_text.h"
#include "output_files/interrupt_cleanup.h"
#include "output/tool_output.h"

namespace orvacct {

void OutputFile::write(std::string_view bytes) {
  try {
    if (!staged_) staged_.emplace(pathArgument(argument_), removeTemporaryOnInterrupt(), access_);
    staged_->write({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
  } catch (const std::system_error& error) {
    throw ToolError("cannot write " + argument_ + ": " + error.code().message());
  }
}

void OutputFile::commit(bool mayReplace) {
  write({});
  bool done = false;
  try {
    done = staged_->commit(mayReplace);
  } catch (const std::system_error& error) {
    throw ToolError("cannot write " + argument_ + ": " + error.code().message());
  }
  if (!done) throw ToolError(argument_ + " exists; give --overwrite to replace it");
}

}  // namespace orvacct
