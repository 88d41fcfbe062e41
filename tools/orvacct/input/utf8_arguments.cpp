#include "input/utf8_arguments.h"

#ifdef _WIN32
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <memory>

#include "text/utf.h"
#endif

namespace orvacct {

#ifdef _WIN32
std::vector<std::string> utf8Arguments(int, char**) {
  int count = 0;
  const std::unique_ptr<LPWSTR, decltype(&LocalFree)> wide(CommandLineToArgvW(GetCommandLineW(), &count), &LocalFree);
  std::vector<std::string> arguments;
  for (int i = 1; wide && i < count; ++i) {
    arguments.push_back(orv::text::toUtf8(reinterpret_cast<const char16_t*>(wide.get()[i])));
  }
  return arguments;
}
#else
std::vector<std::string> utf8Arguments(int argc, char** argv) { return {argv + 1, argv + argc}; }
#endif

}  // namespace orvacct
