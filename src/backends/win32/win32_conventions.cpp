// The Windows program's conventions, as the core asks for them.
#include "backends/win32/win32_conventions.h"

namespace platform {

const Conventions& PlatformConventions() { return win32::windowsConventions; }

// The Windows program draws its text with the bitmap font alone.
bool DrawCharacter(char32_t, GlyphImage*) { return false; }

}  // namespace platform
