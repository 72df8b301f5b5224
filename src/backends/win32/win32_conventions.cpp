// How the Windows program writes paths and names the programs it starts.
#include "platform/platform.h"

namespace platform {

const Conventions& PlatformConventions() {
  // Going up from "C:\a\" ends at "C:\", and from there at "C:", where it stops.
  static const Conventions windows = {'\\', 2, 2, "spool.exe", "explorer", false, false, false};
  return windows;
}

}  // namespace platform
