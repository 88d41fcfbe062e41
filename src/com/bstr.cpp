#include "com/bstr.h"

#include <new>

namespace orv::com {

void writeBack(BSTR* target, const std::u16string& before, const std::u16string& after) {
  if (target == nullptr || before == after) return;
  UniqueBstr replacement = toBstr(after);
  SysFreeString(*target);
  *target = replacement.release();
}

}  // namespace orv::com
