#pragma once
// How the tool speaks: results on stdout, one a line, UTF-8; failures as one line on stderr.
#include <stdexcept>
#include <string>

#include "component/services.h"

namespace orvacct {

// A failure the tool reports and exits on, with status 1.
class ToolError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

void printLine(const std::u16string& text);

// Services of the component for the tool: the platform's, with each reported failure also
// printed on stderr.
orv::Services toolServices();

}  // namespace orvacct
