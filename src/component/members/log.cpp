// LogErrors and PurgeLogs: the two methods that skip their own failures without a report.
#include <optional>

#include "base/failure.h"
#include "component/clsOrvAcctMan.h"
#include "log/error_log.h"

namespace orv {

void clsOrvAcctMan::LogErrors(const std::u16string& sAppPath, const std::u16string& sAppExeName,
                              std::int32_t lngErrNumber, const std::u16string& strErrDescription,
                              const std::u16string& strErrModule, const std::u16string& strErrProcedure,
                              const std::u16string& sMajor, const std::u16string& sMinor,
                              const std::u16string& sRevision) {
  try {
    const bool repeated = m_hasLastError && m_lastError.number == lngErrNumber &&
                          m_lastError.description == strErrDescription && m_lastError.module == strErrModule &&
                          m_lastError.procedure == strErrProcedure && m_sLastAppPath == sAppPath;
    if (repeated) return;

    std::optional<CaughtFailure> failed;
    try {
      // One reading of the clock per record: its date names the file and fills the date line.
      const LocalDateTime now = services_.clock();
      const log::ErrorRecord record{lngErrNumber, strErrDescription, strErrModule, strErrProcedure,
                                    sMajor,       sMinor,            sRevision};
      log::appendRecord(sAppPath, sAppExeName, record, now);
    } catch (...) {
      failed = describeCurrentException();
    }

    // A record that could not be written leaves the failure's own number and description
    // behind, so the same error is tried again next time.
    m_sLastAppPath.assign(sAppPath);
    m_lastError.number = failed ? failed->number : lngErrNumber;
    m_lastError.description.assign(failed ? failed->description : strErrDescription);
    m_lastError.module.assign(strErrModule);
    m_lastError.procedure.assign(strErrProcedure);
    m_hasLastError = true;
  } catch (...) {
    // Nothing leaves the log writer.
  }
}

void clsOrvAcctMan::PurgeLogs(const std::u16string& sAppPath, const std::u16string& sAppExeName) {
  try {
    const LocalDateTime today = services_.clock();
    log::purgeOldLogs(sAppPath, sAppExeName, today);
  } catch (...) {
    // Nothing leaves the purge.
  }
}

}  // namespace orv
