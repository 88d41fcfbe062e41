// orvacct reg: the nine Reg_ methods from the command line. Reads print what the method
// returns (binary as hex); writes and deletes print nothing, since the methods themselves never
// say whether the registry refused.
#include <functional>
#include <memory>
#include <string>

#include "cipher/hex_text.h"
#include "commands.h"
#include "component/clsOrvAcctMan.h"
#include "input_text.h"
#include "int32_argument.h"
#include "registry_arguments.h"
#include "text/ansi_codepage.h"
#include "text/utf.h"
#include "tool_output.h"

namespace orvacct {
namespace {

#ifdef _WIN32
constexpr bool kHasRegistry = true;
#else
constexpr bool kHasRegistry = false;
#endif

struct RegArguments {
  std::string hive, path, name, data, fallback;
};

struct Target {
  orv::HKeyHive hive;
  std::u16string path;
  std::u16string name;
};

// Registry names and text data go through the ANSI code page: a character it lacks would name
// another key or store other text.
std::u16string registryText(const std::string& argument, const std::string& what) {
  std::u16string text = argumentText(argument, what);
  requireRepresentable(text, what);
  return text;
}

using Action = std::function<void(orv::clsOrvAcctMan&, const Target&, const RegArguments&)>;
// Checks the arguments before anything else, so a mistake is named on every platform.
using Check = std::function<void(const RegArguments&)>;

enum class Shape { KeyOnly, Value, ValueAndData };

void addCommand(CLI::App& reg, const std::string& verb, const std::string& description, Shape shape, Action action,
                bool takesDefault = false, Check check = nullptr) {
  auto args = std::make_shared<RegArguments>();
  CLI::App* command = reg.add_subcommand(verb, description);
  command->add_option("HIVE", args->hive, "HKCU, HKLM, HKCR, HKU, HKCC or the HKEY_... name")->required();
  command->add_option("PATH", args->path, "Key path below the hive, levels separated by backslashes")->required();
  if (shape != Shape::KeyOnly)
    command->add_option("NAME", args->name, "Value name; empty for the default value")->required();
  if (shape == Shape::ValueAndData) command->add_option("DATA", args->data, "The data to write")->required();
  if (takesDefault) command->add_option("--default", args->fallback, "Printed when the value cannot be read");
  command->callback([args, action, check] {
    if (check) check(*args);
    const Target target{parseHive(args->hive), registryText(args->path, "PATH"), registryText(args->name, "NAME")};
    if (!kHasRegistry) {
      throw ToolError("the registry exists only on Windows; run a Windows build of orvacct (under Wine, for instance)");
    }
    orv::clsOrvAcctMan component(toolServices());
    action(component, target, *args);
  });
}

}  // namespace

void addRegistryCommands(CLI::App& app) {
  CLI::App* reg = app.add_subcommand("reg", "Read and write registry values as the Reg_ methods do (Windows only)");
  reg->require_subcommand(1);
  using orv::clsOrvAcctMan;
  using orv::text::fromUtf8;

  addCommand(
      *reg, "get-string", "Print a REG_SZ value, up to its first NUL", Shape::Value,
      [](clsOrvAcctMan& c, const Target& t, const RegArguments& a) {
        printLine(c.Reg_GetSettingString(t.hive, t.path, t.name, argumentText(a.fallback, "--default")));
      },
      true);
  addCommand(
      *reg, "get-dword", "Print a value of at most four bytes as a signed 32-bit number", Shape::Value,
      [](clsOrvAcctMan& c, const Target& t, const RegArguments& a) {
        const std::int32_t fallback = a.fallback.empty() ? 0 : parseInt32(a.fallback, "--default");
        printLine(fromUtf8(std::to_string(c.Reg_GetSettingDWord(t.hive, t.path, t.name, fallback))));
      },
      true,
      [](const RegArguments& a) {
        if (!a.fallback.empty()) parseInt32(a.fallback, "--default");
      });
  addCommand(*reg, "get-binary", "Print a value's bytes as hex", Shape::Value,
             [](clsOrvAcctMan& c, const Target& t, const RegArguments&) {
               const std::string bytes = orv::text::toAnsi(c.Reg_GetSettingBinary(t.hive, t.path, t.name));
               printLine(fromUtf8(orv::cipher::toHexDigits(bytes)));
             });
  addCommand(*reg, "set-string", "Write DATA as REG_SZ, without a terminating NUL", Shape::ValueAndData,
             [](clsOrvAcctMan& c, const Target& t, const RegArguments& a) {
               c.Reg_SaveSettingString(t.hive, t.path, t.name, registryText(a.data, "DATA"));
             },
             false, [](const RegArguments& a) { registryText(a.data, "DATA"); });
  addCommand(
      *reg, "set-dword", "Write DATA (decimal or 0x hex) as REG_DWORD", Shape::ValueAndData,
      [](clsOrvAcctMan& c, const Target& t, const RegArguments& a) {
        c.Reg_SaveSettingDWord(t.hive, t.path, t.name, parseInt32(a.data, "DATA"));
      },
      false, [](const RegArguments& a) { parseInt32(a.data, "DATA"); });
  addCommand(
      *reg, "set-binary", "Write DATA, given as hex, as REG_BINARY", Shape::ValueAndData,
      [](clsOrvAcctMan& c, const Target& t, const RegArguments& a) {
        c.Reg_SaveSettingBinary(t.hive, t.path, t.name, orv::text::fromAnsi(parseHex(a.data)));
      },
      false, [](const RegArguments& a) { parseHex(a.data); });
  addCommand(*reg, "create-key", "Create the key with every missing level", Shape::KeyOnly,
             [](clsOrvAcctMan& c, const Target& t, const RegArguments&) { c.Reg_CreateKey(t.hive, t.path); });
  addCommand(*reg, "delete-key", "Delete the key, if it has no subkeys", Shape::KeyOnly,
             [](clsOrvAcctMan& c, const Target& t, const RegArguments&) { c.Reg_DeleteKey(t.hive, t.path); });
  addCommand(*reg, "delete-value", "Delete one value", Shape::Value,
             [](clsOrvAcctMan& c, const Target& t, const RegArguments&) { c.Reg_DeleteValue(t.hive, t.path, t.name); });
}

}  // namespace orvacct
