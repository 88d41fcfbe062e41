#include "tool_output.h"

#include <cstdio>
#include <iostream>

#include "text/utf.h"

namespace orvacct {

void printLine(const std::u16string& text) {
  const std::string utf8 = orv::text::toUtf8(text);
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fputc('\n', stdout);
}

orv::Services toolServices() {
  orv::Services services = orv::platformServices();
  services.failureObserver = [](std::int32_t number, const std::u16string& description,
                                const std::u16string& procedure) {
    std::cerr << "orvacct: error " << number << ": " << orv::text::toUtf8(description) << " (in "
              << orv::text::toUtf8(procedure) << ")\n";
  };
  return services;
}

}  // namespace orvacct
