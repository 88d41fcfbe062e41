#pragma once
// A threshold as monitoring plugins take it (Nagios, Icinga, Naemon): "10" alerts outside 0..10,
// "10:" below 10, "~:10" above 10, "10:20" outside 10..20, and "@10:20" inside 10..20, ends
// included. An empty start is 0, an empty end no bound.
#include <optional>
#include <string_view>

namespace orvacct::logs {

struct PluginRange {
  std::optional<double> start, end;  // none: no bound on that side
  bool inside = false;               // '@': alert inside the range instead of outside

  bool alerts(double value) const;
};

// nullopt when the text is not a range (a start above its end among them).
std::optional<PluginRange> parsePluginRange(std::string_view text);

// The plugin's states, as its exit status.
enum class PluginState { Ok = 0, Warning = 1, Critical = 2, Unknown = 3 };

// Critical before warning: a value that alerts both is critical.
PluginState pluginState(double value, const std::optional<PluginRange>& warning,
                        const std::optional<PluginRange>& critical);

const char* pluginStateName(PluginState state);

}  // namespace orvacct::logs
