// The fuzz input as a file: an anonymous in-memory file that the code under test opens through
// its /proc/self/fd path, so fuzzing writes nothing to disk.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

// Replaces the in-memory file's content with the input and returns its path.
inline const char* InputAsFile(const std::uint8_t* data, std::size_t size) {
  static int fd = memfd_create("trove_fuzz_input", 0);
  static char path[64];
  if (fd < 0 || ftruncate(fd, 0) != 0) std::abort();
  if (size > 0 && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();
  std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
  return path;
}

}  // namespace fuzz
