#include "hidden_prompt.h"

#include "tool_output.h"

namespace orvacct {

orv::SecretText readHiddenTwice(const std::string& prompt, const std::string& again, const std::string& what) {
  orv::SecretText first = readHidden(prompt, what);
  if (readHidden(again, what) != first) throw ToolError("the two entries of " + what + " differ; nothing was done");
  return first;
}

}  // namespace orvacct
