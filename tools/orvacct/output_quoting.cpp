#include "output_quoting.h"

#include <cstdio>

namespace orvacct {

std::string csvField(std::string_view utf8) {
  std::string field = "\"";
  for (const char c : utf8) {
    if (c == '"') field += '"';
    field += c;
  }
  field += '"';
  return field;
}

std::string jsonString(std::string_view utf8) {
  std::string json = "\"";
  for (const char c : utf8) {
    switch (c) {
      case '"':
        json += "\\\"";
        break;
      case '\\':
        json += "\\\\";
        break;
      case '\n':
        json += "\\n";
        break;
      case '\r':
        json += "\\r";
        break;
      case '\t':
        json += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
          json += escaped;
        } else {
          json += c;
        }
    }
  }
  json += '"';
  return json;
}

}  // namespace orvacct
