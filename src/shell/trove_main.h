// The program as each backend's own main function starts it.
#pragma once

#include <optional>
#include <string>

// Reads the words after the program's name (UTF-8), before anything else: answers --help and
// --version, refuses an unknown option or a second path with the usage, and makes a start
// directory given the current directory once it is known to be one the browser can list; for
// a file given, the directory holding it, with the file's name left in startFile. Returns the
// exit code when the command line ends the program (0 after --help or --version, 1 for a start
// directory that cannot be browsed, 2 for a refused command line), nothing when the program is
// to run. Its texts go through platform::WriteCommandLineText.
std::optional<int> ReadCommandLine(int count, const char* const* words, std::string& startFile);

// The program from start-up to shutdown, opening startFile (a name in the start directory, or
// empty) as it starts; returns the exit code.
int TroveMain(const std::string& startFile);
