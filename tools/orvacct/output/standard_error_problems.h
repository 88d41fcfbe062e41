#pragma once
// The log reading's problems as the tool tells every problem: one line each on standard error.
#include <cstdint>
#include <string_view>

#include "log_reading/log_types.h"
#include "output/tool_output.h"

namespace orvacct {

class StandardErrorProblems final : public logs::ProblemSink {
 public:
  void problem(std::string_view message) override { reportProblem(message); }
  void problemAt(std::string_view file, std::uint64_t line, std::string_view message) override {
    reportAt(file, line, message);
  }
};

}  // namespace orvacct
