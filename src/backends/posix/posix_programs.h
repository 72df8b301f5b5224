// Starting other programs on POSIX: the program a start runs, found by its name, and the start
// itself with the argument words the core gave.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace native {

// The file a start runs. A name with a slash must be an absolute path and is taken as it is. A
// bare name is looked for in the absolute entries of searchPath (PATH; "/bin:/usr/bin" when it is
// null, as the C library has it), in order, the first that isProgram answers for winning; an
// empty, "." or other relative entry is skipped, since it names the current directory, which
// may be the folder being browsed. "" when there is none.
std::string ProgramPath(const char* file, const char* searchPath,
                        const std::function<bool(const std::string&)>& isProgram);

// Starts file (as ProgramPath finds it in PATH) with the argument words, each handed over whole:
// no shell reads them. The program gets the default SIGCHLD handling and a process group of its
// own; it is not waited for. False when it is not found or does not start.
bool StartProgram(const char* file, const std::vector<std::string>& words);

}  // namespace native
