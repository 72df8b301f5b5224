// File and directory access for the native backends (POSIX), with Windows-style paths
// accepted: backslashes are separators.
#pragma once

#include <string>

namespace native {

// The path with every backslash turned into a slash.
std::string PosixPath(const char* path);

}  // namespace native
