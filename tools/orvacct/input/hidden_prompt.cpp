#include "input/hidden_prompt.h"

#include <string_view>

#include "output/tool_output.h"

namespace orvacct {

std::string nothingTyped(const std::string& what) {
  const std::string_view thing = std::string_view(what).starts_with("the ") ? std::string_view(what).substr(4) : what;
  return "no " + std::string(thing) + " was typed: the input ended";
}

orv::SecretText readHiddenTwice(const std::string& prompt, const std::string& again, const std::string& what) {
  orv::SecretText first = readHidden(prompt, what);
  if (readHidden(again, what) != first) throw ToolError("the two entries of " + what + " differ; nothing was done");
  return first;
}

}  // namespace orvacct
