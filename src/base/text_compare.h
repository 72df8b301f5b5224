// Comparing names the way the file system and the extension table mean them.
#pragma once

// Equal texts when ASCII letters are compared without regard to case; every other byte must
// match exactly.
inline bool EqualsIgnoringCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    char ca = *a;
    char cb = *b;
    if (ca >= 'A' && ca <= 'Z') ca = static_cast<char>(ca - 'A' + 'a');
    if (cb >= 'A' && cb <= 'Z') cb = static_cast<char>(cb - 'A' + 'a');
    if (ca != cb) return false;
    if (ca == '\0') return true;
  }
}
