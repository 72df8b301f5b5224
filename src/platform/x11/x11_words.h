// Splitting the parameter line of a program start into the argument words of a POSIX spawn.
#pragma once

#include <string>
#include <vector>

namespace x11 {

// The blank-separated words of a parameter line, in order; runs of blanks (spaces and tabs)
// separate, leading and trailing blanks give no word. No quoting: the player's media path
// has its spaces written as '*', so every word arrives as it was built.
std::vector<std::string> ParameterWords(const char* parameters);

}  // namespace x11
