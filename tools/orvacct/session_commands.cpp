// orvacct session open|check: the messaging session as Create_Session and CheckState make it.
// Windows only: elsewhere there is no Outlook and no CDO.
#ifdef _WIN32
#include <objbase.h>
#endif

#include "commands.h"
#include "component/clsOrvAcctMan.h"
#include "tool_output.h"

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

}  // namespace
}  // namespace session_commands

void addSessionCommands(CLI::App& app) {
  using namespace session_commands;
  CLI::App* session = commandGroup(app, "session", "The Outlook messaging session (Windows only)");

  session->add_subcommand("open", "Open a session as Create_Session does, print True, close it again")->callback([] {
    const Apartment apartment;
    orv::clsOrvAcctMan component(toolServices());
    if (!component.Create_Session()) throw ToolError("no messaging session could be made");
    printLine(u"True");
  });

  session->add_subcommand("check", "Print CheckState: True when contacts and public folders are offline")->callback([] {
    const Apartment apartment;
    orv::clsOrvAcctMan component(toolServices());
    printLine(component.CheckState() ? u"True" : u"False");
  });
}

}  // namespace orvacct
