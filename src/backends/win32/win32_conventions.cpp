// How the Windows program writes paths and names the programs it starts.
#include "platform/platform.h"

namespace platform {

const Conventions& PlatformConventions() {
  // Going up from "C:\a\" ends at "C:\", and from there at "C:", where it stops.
  // Names in the code page, and at most 2,999 entries a directory.
  static const Conventions windows = {'\\',  2,     2,     "spool.exe", "explorer",
                                      false, false, false, 2999};
  return windows;
}

// The Windows program draws its text with the bitmap font alone.
bool DrawCharacter(char32_t, GlyphImage*) { return false; }

}  // namespace platform
