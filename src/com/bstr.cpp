#include "com/bstr.h"

#include <new>

namespace orv::com {

UniqueBstr toBstr(std::u16string_view text) {
  BSTR made = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
  if (made == nullptr) throw std::bad_alloc();
  return UniqueBstr(made);
}

void writeBack(BSTR* target, const std::u16string& before, const std::u16string& after) {
  if (target == nullptr || before == after) return;
  UniqueBstr replacement = toBstr(after);
  SysFreeString(*target);
  *target = replacement.release();
}

}  // namespace orv::com
