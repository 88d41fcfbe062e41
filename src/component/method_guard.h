#pragma once
// Resume-next as steps: each step of a guarded method runs in turn; a step that fails is
// reported through the owner's ReportError with the method's procedure text, and the next
// step runs. Nothing a step throws ever leaves the guard.
#include <string_view>
#include <utility>

#include "base/failure.h"

namespace orv {

template <class Reporter>
class MethodGuard {
 public:
  MethodGuard(Reporter& reporter, std::u16string_view procedure) : reporter_(reporter), procedure_(procedure) {}

  // Runs one step; true when it completed.
  template <class Step>
  bool step(Step&& body) noexcept {
    try {
      std::forward<Step>(body)();
      return true;
    } catch (...) {
      const CaughtFailure failure = describeCurrentException();
      reporter_.reportFailure(failure.number, failure.description, procedure_);
      return false;
    }
  }

  // The test of a conditional step: a test that fails is reported and then counts as held,
  // so the body of the conditional runs, as the resume-next convention has it.
  template <class Test>
  bool condition(Test&& test) noexcept {
    bool held = true;
    step([&] { held = std::forward<Test>(test)(); });
    return held;
  }

 private:
  Reporter& reporter_;
  std::u16string_view procedure_;
};

}  // namespace orv
