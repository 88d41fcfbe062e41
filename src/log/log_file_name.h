#pragma once
// The writer's way to the log file: folder and name appended to one buffer, so a record costs
// a single allocation for its path.
#include <string>
#include <string_view>

#include "platform/local_time.h"

namespace orv::log {

void appendLogFolder(std::u16string& out, std::u16string_view appPath);
void appendLogFileName(std::u16string& out, std::u16string_view appName, const LocalDateTime& day);

}  // namespace orv::log
