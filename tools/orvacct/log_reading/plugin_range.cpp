#include "log_reading/plugin_range.h"

#include <charconv>
#include <cmath>

namespace orvacct::logs {
namespace {

std::optional<double> numberOf(std::string_view text) {
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace

bool PluginRange::alerts(double value) const {
  const bool within = (!start || value >= *start) && (!end || value <= *end);
  return inside ? within : !within;
}

std::optional<PluginRange> parsePluginRange(std::string_view text) {
  PluginRange range;
  if (text.starts_with('@')) {
    range.inside = true;
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  const std::size_t colon = text.find(':');
  std::string_view startText = colon == std::string_view::npos ? std::string_view() : text.substr(0, colon);
  const std::string_view endText = colon == std::string_view::npos ? text : text.substr(colon + 1);
  if (startText != "~") {
    range.start = startText.empty() ? std::optional<double>(0) : numberOf(startText);
    if (!range.start) return std::nullopt;
  }
  if (!endText.empty() || colon == std::string_view::npos) {
    range.end = numberOf(endText);
    if (!range.end) return std::nullopt;
  }
  if (range.start && range.end && *range.start > *range.end) return std::nullopt;
  return range;
}

PluginState pluginState(double value, const std::optional<PluginRange>& warning,
                        const std::optional<PluginRange>& critical) {
  if (critical && critical->alerts(value)) return PluginState::Critical;
  if (warning && warning->alerts(value)) return PluginState::Warning;
  return PluginState::Ok;
}

const char* pluginStateName(PluginState state) {
  switch (state) {
    case PluginState::Ok:
      return "OK";
    case PluginState::Warning:
      return "WARNING";
    case PluginState::Critical:
      return "CRITICAL";
    case PluginState::Unknown:
      break;
  }
  return "UNKNOWN";
}

}  // namespace orvacct::logs
