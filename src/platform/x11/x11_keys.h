// Translating X key symbols into the program's own key codes.
#pragma once

namespace x11 {

// The key code (input/keys.h) for an X key symbol as the key's first level gives it, or -1
// for a key the program does not use, which then never reaches the key table.
int KeyFromKeysym(unsigned long keysym);

}  // namespace x11
