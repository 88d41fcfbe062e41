// orvacct guid, orvacct detick
#include <memory>
#include <string>

#include "commands/commands.h"
#include "component/clsOrvAcctMan.h"
#include "input/input_text.h"
#include "output/tool_output.h"

namespace orvacct {

void addHelperCommands(CLI::App& app) {
  CLI::App* guid = app.add_subcommand("guid", "Print one new identifier, {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}");
  guid->callback([] {
    orv::clsOrvAcctMan component(toolServices());
    const std::u16string text = component.CreateGUID();
    if (text.empty()) throw ToolError("no identifier could be made");
    printLine(text);
  });

  auto ticked = std::make_shared<std::string>();
  CLI::App* detick = app.add_subcommand("detick", "Print TEXT with every apostrophe doubled, for SQL literals");
  detick->add_option("TEXT", *ticked, "The text")->required();
  detick->callback([ticked] {
    orv::clsOrvAcctMan component(toolServices());
    printLine(component.DeTick(argumentText(*ticked, "TEXT")));
  });
}

}  // namespace orvacct
