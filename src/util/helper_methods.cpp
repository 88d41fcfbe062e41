// CreateGUID and DeTick, the two text helpers of the interface.
#include "component/clsOrvAcctMan.h"
#include "component/method_guard.h"
#include "util/detick.h"

namespace orv {

std::u16string clsOrvAcctMan::CreateGUID() {
  MethodGuard guard(*this, u"CreateGUID() As String");
  guard.step([&] { m_lngRet = services_.newGuid(m_GUID); });
  if (guard.condition([&] { return m_lngRet != 0; })) {
    m_sGUID.clear();
  } else {
    guard.step([&] { m_sGUID = guidText(m_GUID); });
  }
  return m_sGUID;
}

std::u16string clsOrvAcctMan::DeTick(const std::u16string& sTicked) {
  MethodGuard guard(*this, u"DeTick(sTicked As String) As String");
  std::u16string result;
  guard.step([&] { result = doubleApostrophes(sTicked); });
  return result;
}

}  // namespace orv
