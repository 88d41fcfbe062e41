#pragma once
// An owned C stream, and the way the project opens one by path: through the wide name on
// Windows, so any file name opens.
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/unique_resource.h"

namespace orv::platform {

inline bool closeFile(std::FILE* file) noexcept { return std::fclose(file) == 0; }

using UniqueFile = UniqueResource<std::FILE*, closeFile, nullptr>;

// `mode` as fopen takes it ("rb", "w+b"); empty, with errno set, when the file cannot be opened.
inline UniqueFile openFile(const std::filesystem::path& path, const char* mode) {
#ifdef _WIN32
  const std::string narrow(mode);
  return UniqueFile(_wfopen(path.c_str(), std::wstring(narrow.begin(), narrow.end()).c_str()));
#else
  return UniqueFile(std::fopen(path.c_str(), mode));
#endif
}

}  // namespace orv::platform
