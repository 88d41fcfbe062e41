// CreateGUID and DeTick, the two text helpers of the interface.
#include "component/clsOrvAcctMan.h"
#include "component/method_guard.h"
#include "util/detick.h"

namespace orv {

std::u16string clsOrvAcctMan::CreateGUID() {
  Guard guard(*this, u"CreateGUID() As String");
  // When no identifier could be made at all, the result is empty: the identifier of an
  // earlier call must never come back as a new one.
  m_lngRet = -1;
  guard.step([&] { m_lngRet = services_.newGuid(m_GUID); });
  m_sGUID.clear();
  if (m_lngRet == 0) guard.step([&] { m_sGUID = util::guidText(m_GUID); });
  return m_sGUID;
}

std::u16string clsOrvAcctMan::DeTick(const std::u16string& sTicked) {
  Guard guard(*this, u"DeTick(sTicked As String) As String");
  std::u16string result;
  guard.step([&] { result = util::doubleApostrophes(sTicked); });
  return result;
}

}  // namespace orv
