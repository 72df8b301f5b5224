// Splitting the parameter line of a program start into the argument words of a POSIX spawn.
#pragma once

#include <string>
#include <vector>

namespace x11 {

// The space-separated words of a parameter line, in order; runs of spaces separate, leading
// and trailing spaces give no word. Only the space separates: the parameter line puts spaces
// exactly between its words and writes the media path's own spaces as '*', so every other
// character of a name (a tab, a newline) stays inside its word. No quoting.
std::vector<std::string> ParameterWords(const char* parameters);

}  // namespace x11
