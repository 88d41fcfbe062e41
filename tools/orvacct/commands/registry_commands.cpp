// orvacct reg: the nine Reg_ methods from the command line. Reads print what the method
// returns (binary as hex), the fallback included. Writes and deletes print nothing, but a change
// the registry refused fails with the registry's words: the methods keep their result codes to
// themselves, so the tool hears them at the registry seam.
#include <functional>
#include <memory>
#include <string>

#include "cipher/hex_text.h"
#include "commands/commands.h"
#include "component/clsOrvAcctMan.h"
#include "input/input_text.h"
#include "keys/int32_argument.h"
#include "registry/hkey_hive.h"
#include "registry/refusal_recorder.h"
#include "keys/registry_arguments.h"
#include "text/ansi_codepage.h"
#include "text/utf.h"
#include "output/tool_output.h"

namespace orvacct {
// This file's own, under its name: the command files are compiled as one.
namespace registry_commands {
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

// Windows refuses to delete a key that has subkeys as it refuses one the user may not delete:
// "access denied". The one that has subkeys is told as such, lest it be taken for a rights problem.
bool refusedForSubkeys(const orv::registry::Refusal& refusal, const Target& target) {
  return refusal.function == "RegDeleteKeyA" && refusal.code == orv::registry::kErrorAccessDenied &&
         orv::registry::keyHasSubkeys(orv::registry::rootOf(target.hive), orv::text::toAnsi(target.path))
             .value_or(false);
}

// The line for a change the registry refused; change is the command's verb ("write", "delete").
std::string refusalMessage(const char* change, Shape shape, const RegArguments& args, const Target& target,
                           const orv::registry::Refusal& refusal) {
  std::string what = std::string("cannot ") + change + " ";
  if (shape != Shape::KeyOnly) what += args.name.empty() ? "the default value of " : "value '" + args.name + "' of ";
  what += args.hive + "\\" + args.path + ": ";
  if (refusedForSubkeys(refusal, target)) {
    what += "the key has subkeys; delete them first, the deepest first ";
  } else if (const std::string text = orv::text::toUtf8(orv::registry::registryErrorText(refusal.code)); !text.empty()) {
    what += text + " ";
  }
  return what + "(" + std::string(refusal.function) + ", error " + std::to_string(refusal.code) + ")";
}

void addCommand(CLI::App& reg, const std::string& verb, const std::string& description, Shape shape, Action action,
                bool takesDefault = false, Check check = nullptr, const char* change = nullptr) {
  auto args = std::make_shared<RegArguments>();
  CLI::App* command = reg.add_subcommand(verb, description);
  command->add_option("HIVE", args->hive, "HKCU, HKLM, HKCR, HKU, HKCC or the HKEY_... name")->required();
  command->add_option("PATH", args->path, "Key path below the hive, levels separated by backslashes")->required();
  if (shape != Shape::KeyOnly)
    command->add_option("NAME", args->name, "Value name; empty for the default value")->required();
  if (shape == Shape::ValueAndData) command->add_option("DATA", args->data, "The data to write")->required();
  if (takesDefault) command->add_option("--default", args->fallback, "Printed when the value cannot be read");
  command->callback([args, action, check, shape, change] {
    if (check) check(*args);
    const Target target{parseHive(args->hive), registryText(args->path, "PATH"), registryText(args->name, "NAME")};
    if (!kHasRegistry) {
      throw ToolError("the registry exists only on Windows; run a Windows build of orvacct (under Wine, for instance)");
    }
    orv::Services services = toolServices();
    const auto registry = std::make_shared<orv::registry::RefusalRecorder>(services.registry);
    services.registry = registry;
    orv::clsOrvAcctMan component(std::move(services));
    action(component, target, *args);
    if (change != nullptr && registry->firstRefusal()) {
      throw ToolError(refusalMessage(change, shape, *args, target, *registry->firstRefusal()));
    }
  });
}

}  // namespace
}  // namespace registry_commands

void addRegistryCommands(CLI::App& app) {
  using namespace registry_commands;
  CLI::App* reg = commandGroup(app, "reg", "Read and write registry values as the Reg_ methods do (Windows only)");
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
  addCommand(
      *reg, "set-string", "Write DATA as REG_SZ, without a terminating NUL", Shape::ValueAndData,
      [](clsOrvAcctMan& c, const Target& t, const RegArguments& a) {
        c.Reg_SaveSettingString(t.hive, t.path, t.name, registryText(a.data, "DATA"));
      },
      false, [](const RegArguments& a) { registryText(a.data, "DATA"); }, "write");
  addCommand(
      *reg, "set-dword", "Write DATA (decimal or 0x hex) as REG_DWORD", Shape::ValueAndData,
      [](clsOrvAcctMan& c, const Target& t, const RegArguments& a) {
        c.Reg_SaveSettingDWord(t.hive, t.path, t.name, parseInt32(a.data, "DATA"));
      },
      false, [](const RegArguments& a) { parseInt32(a.data, "DATA"); }, "write");
  addCommand(
      *reg, "set-binary", "Write DATA, given as hex, as REG_BINARY", Shape::ValueAndData,
      [](clsOrvAcctMan& c, const Target& t, const RegArguments& a) {
        c.Reg_SaveSettingBinary(t.hive, t.path, t.name, orv::text::fromAnsi(parseHex(a.data)));
      },
      false, [](const RegArguments& a) { parseHex(a.data); }, "write");
  addCommand(
      *reg, "create-key", "Create the key with every missing level", Shape::KeyOnly,
      [](clsOrvAcctMan& c, const Target& t, const RegArguments&) { c.Reg_CreateKey(t.hive, t.path); }, false, nullptr,
      "create");
  addCommand(
      *reg, "delete-key", "Delete the key, if it has no subkeys", Shape::KeyOnly,
      [](clsOrvAcctMan& c, const Target& t, const RegArguments&) { c.Reg_DeleteKey(t.hive, t.path); }, false, nullptr,
      "delete");
  addCommand(
      *reg, "delete-value", "Delete one value", Shape::Value,
      [](clsOrvAcctMan& c, const Target& t, const RegArguments&) { c.Reg_DeleteValue(t.hive, t.path, t.name); }, false,
      nullptr, "delete");
}

}  // namespace orvacct
