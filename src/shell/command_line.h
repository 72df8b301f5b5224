// The program's command line, trove [--help | --version | [--] DIR]: what it asks for, and
// the start directory it names, checked before any window exists.
#pragma once

// What the command line asks of the program.
enum class CommandAction {
  run,      // browse the directory given, or the current one
  help,     // the usage on standard output, exit code 0
  version,  // "trove VERSION" on standard output, exit code 0
  refuse,   // why, and the usage, on standard error, exit code 2
};

// Why a command line is refused.
enum class CommandRefusal {
  none,
  unknownOption,    // a word starting with '-' that is no option of the program
  secondDirectory,  // more than one directory
};

struct CommandLine {
  CommandAction action = CommandAction::run;
  CommandRefusal refusal = CommandRefusal::none;
  const char* directory = nullptr;  // the start directory given; null for the current one
  const char* refused = nullptr;    // the word refused
};

// Reads the words after the program's name in order; the first help, version or refused word
// decides. "--" ends the options: every word after it is a directory, even one starting with
// '-'. Pure: nothing is looked up.
CommandLine ParseCommandLine(int count, const char* const* words);

// The exit codes of a command line that ends the program before it starts.
constexpr int exitStartDirectory = 1;  // the directory given cannot be browsed
constexpr int exitUsage = 2;           // the command line is refused

// What checking a start directory comes to.
enum class StartDirectory {
  entered,       // it is now the current directory
  missing,       // nothing of that name (or its way is closed)
  notDirectory,  // a file, not a directory
  unreadable,    // a directory that cannot be made current or listed
};

// Makes path the current directory if the browser can show it: it must be a directory that
// can be made current and listed. Another result leaves the current directory unspecified.
StartDirectory EnterStartDirectory(const char* path);

// The usage as --help prints it.
extern const char* const usageText;
