// The program's command line, trove [--help | --version | --global-input] [[--] DIR | [--] FILE]:
// what it asks for, and the start directory or file it names, checked before any window exists.
#pragma once

#include <cstddef>
#include <string>

#include "platform/platform.h"

// What the command line asks of the program.
enum class CommandAction {
  run,      // browse the directory given, the one holding the file given, or the current one
  help,     // the usage on standard output, exit code 0
  version,  // "trove VERSION" on standard output, exit code 0
  refuse,   // why, and the usage, on standard error, exit code 2
};

// Why a command line is refused.
enum class CommandRefusal {
  none,
  unknownOption,  // a word starting with '-' that is no option of the program
  secondPath,     // more than one directory or file
};

struct CommandLine {
  CommandAction action = CommandAction::run;
  CommandRefusal refusal = CommandRefusal::none;
  const char* path = nullptr;     // the start directory or file given; null for neither
  const char* refused = nullptr;  // the word refused
  bool globalInput = false;       // --global-input: keys and buttons from the whole desktop
};

// Reads the words after the program's name in order; the first help, version or refused word
// decides. "--" ends the options: every word after it is a path, even one starting with '-'.
// --global-input is an option only where offersGlobalInput says so (the Linux program); elsewhere
// it is refused like any unknown option. Pure: nothing is looked up.
CommandLine ParseCommandLine(int count, const char* const* words, bool offersGlobalInput = false);

// The exit codes of a command line that ends the program before it starts.
constexpr int exitStartDirectory = 1;  // the directory given, or the file's, cannot be browsed
constexpr int exitUsage = 2;           // the command line is refused

// What checking a start directory or file comes to.
enum class StartDirectory {
  entered,           // it is now the current directory
  enteredForFile,    // a file: the directory holding it is now the current directory
  missing,           // nothing of that name (or its way is closed)
  notDirectory,      // a file named as a directory, with a separator after its name
  unreadable,        // a directory that cannot be made current or listed
  holderUnreadable,  // a file whose directory cannot be made current or listed
};

// Makes path the current directory if the browser can show it: it must be a directory that
// can be made current and listed. Another result leaves the current directory unspecified.
StartDirectory EnterStartDirectory(const char* path);

// Where the last name of path starts: after its last separator ('/', and with the Windows
// conventions '\\' and a drive's colon as well); 0 for a bare name, the length for a path that
// ends in a separator. Pure.
std::size_t LastNameStart(const char* path, const platform::Conventions& conventions);

// A start path word as the user wrote it. A Windows folder passed as "D:\Photos\" reaches the
// program as D:\Photos" (the quoting rule reads its last backslash as escaping the closing
// quote); no Windows name holds a '"', so a trailing one reads as the backslash it was.
std::string StartPathOf(const char* word, const platform::Conventions& conventions);

// A path as the program's messages name it: "" for an empty word, and one longer than
// shownPathBytes shortened in its middle between characters, so the reason after it shows.
constexpr std::size_t shownPathBytes = 400;
std::string ShownPath(const char* path);

// "trove: PATH: what was found\n", with the system's reason after it when there is one.
std::string StartFailureMessage(StartDirectory failure, const char* path, const char* systemReason);

// Enters path as EnterStartDirectory does when it is a directory; when it is a file, enters the
// directory holding it and leaves the file's name in fileName.
StartDirectory EnterStartPath(const char* path, std::string& fileName);

// The usage as --help prints it.
extern const char* const usageText;
