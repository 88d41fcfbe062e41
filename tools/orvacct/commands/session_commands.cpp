// orvacct session open|check: the messaging session as Create_Session and CheckState make it.
// Windows only: elsewhere there is no Outlook and no CDO.
#ifdef _WIN32
#include <objbase.h>
#endif

#include <cstdint>
#include <string>
#include <vector>

#include "commands/commands.h"
#include "component/clsOrvAcctMan.h"
#include "messaging/message_box.h"
#include "text/utf.h"
#include "output/tool_output.h"

namespace orvacct {
// This file's own, under its name: the command files are compiled as one.
namespace session_commands {
namespace {

#ifdef _WIN32
// Outlook and CDO are apartment-threaded COM servers, as the component's own clients are.
class Apartment {
 public:
  Apartment() {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) throw ToolError("COM could not be started");
  }
  ~Apartment() { CoUninitialize(); }
  Apartment(const Apartment&) = delete;
  Apartment& operator=(const Apartment&) = delete;
};
#else
struct Apartment {
  Apartment() {
    throw ToolError("messaging exists only on Windows; run a Windows build of orvacct (under Wine, for instance)");
  }
};
#endif

// REGDB_E_CLASSNOTREG, read as signed: what creating Outlook or CDO answers where it is not installed.
constexpr std::int32_t kClassNotRegistered = -2147221164;

// What the component reports while it makes a session, told on standard error: a class that is
// not registered once, in words (its system text is no more than "Automation error"), the rest
// as they came. The warning box CheckState would show is not shown: a script cannot answer it.
class SessionReport {
 public:
  orv::Services services() {
    orv::Services services = toolServices();
    services.failureObserver = [this, told = services.failureObserver](
                                   std::int32_t number, const std::u16string& description,
                                   const std::u16string& procedure) {
      if (number == kClassNotRegistered) {
        notInstalled_ = true;
      } else {
        told(number, description, procedure);
      }
    };
    services.showMessageBox = [this](const orv::messaging::MessageBoxRequest&) { noSession_ = true; };
    return services;
  }

  bool noSession() const noexcept { return noSession_; }

  [[noreturn]] void fail() const {
    throw ToolError(notInstalled_ ? "no messaging session could be made: no MAPI profile / Outlook is not installed"
                                  : "no messaging session could be made");
  }

 private:
  bool notInstalled_ = false;
  bool noSession_ = false;
};

// The state False, told apart from a failure (1) and a wrong command line (2).
constexpr int kStateFalse = 3;

}  // namespace
}  // namespace session_commands

void addSessionCommands(CLI::App& app) {
  using namespace session_commands;
  CLI::App* session = commandGroup(app, "session", "The Outlook messaging session (Windows only)");

  session->add_subcommand("open", "Open a session as Create_Session does, print True, close it again")->callback([] {
    const Apartment apartment;
    SessionReport report;
    orv::clsOrvAcctMan component(report.services());
    if (!component.Create_Session()) report.fail();
    printLine(u"True");
  });

  session
      ->add_subcommand("check",
                       "Print CheckState, without its box: True (exit 0) when contacts and public folders are offline, "
                       "else False (exit 3); no session is a failure (exit 1)")
      ->callback([] {
        const Apartment apartment;
        SessionReport report;
        orv::clsOrvAcctMan component(report.services());
        const bool offline = component.CheckState();
        if (report.noSession()) report.fail();
        printLine(offline ? u"True" : u"False");
        if (offline) return;
        finishOutput();
        throw ExitStatus(kStateFalse);
      });
}

}  // namespace orvacct
