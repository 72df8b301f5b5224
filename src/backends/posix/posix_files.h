// File and directory access for the POSIX backends, for paths the core writes with the
// separator of the system the backend stands for (native::CurrentSystem).
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace native {

// The POSIX path for a path the core built. Where the system's separator is another character
// than the slash (the headless backend standing in for the Windows program), each of them
// becomes a slash. With the slash as separator the path is taken as it is, except that a
// relative path written the Windows way (".\bmp_unit\x.bmp", as the asset catalogue writes
// its paths) that names nothing as it is is read with slashes.
std::string PosixPath(const char* path);

// Opens a regular file (a POSIX path) for reading; null for anything else. The open never
// blocks: a FIFO, a terminal or a device named like a picture is refused, not waited on.
std::FILE* OpenRegularFile(const std::string& path);

// The order of the Linux program's directory listing (base/name_order.h): "." and ".." first
// (the browser relies on them), then the other names as the desktop's file managers order them;
// the names handed to the sorting batch names at a time, as a listing hands them over.
void OrderListing(std::vector<std::string>* names, std::size_t batch = 4096);

}  // namespace native
