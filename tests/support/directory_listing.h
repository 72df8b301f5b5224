// The names a directory search of the current directory gives, through the seam, in its order.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

inline std::vector<std::string> ListCurrentDirectory() {
  std::vector<std::string> names;
  char name[300];
  platform::DirectorySearch* search = platform::FindFirst("*.*", name, sizeof name);
  if (!search) return names;
  do {
    names.push_back(name);
  } while (platform::FindNext(search, name, sizeof name));
  platform::FindClose(search);
  return names;
}
