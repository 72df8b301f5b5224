// A program start on Linux: the parameter line split into the argument words of a POSIX spawn,
// and the program found by its name.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace x11 {

// The space-separated words of a parameter line, in order; runs of spaces separate, leading
// and trailing spaces give no word. Only the space separates: the parameter line puts spaces
// exactly between its words and writes the media path's own spaces as '*', so every other
// character of a name (a tab, a newline) stays inside its word. No quoting.
std::vector<std::string> ParameterWords(const char* parameters);

// The file a start runs. A name with a slash must be an absolute path and is taken as it is. A
// bare name is looked for in the absolute entries of searchPath (PATH; "/bin:/usr/bin" when it is
// null, as the C library has it), in order, the first that isProgram answers for winning; an
// empty, "." or other relative entry is skipped, since it names the current directory, which
// may be the folder being browsed. "" when there is none.
std::string ProgramPath(const char* file, const char* searchPath,
                        const std::function<bool(const std::string&)>& isProgram);

}  // namespace x11
