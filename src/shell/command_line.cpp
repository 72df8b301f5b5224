// Reading the command line: the usage, the version, refusals and the start directory.
#include "shell/command_line.h"

#include <cstdio>
#include <cstring>

#include "browser/file_list.h"
#include "platform/platform.h"
#include "shell/trove_main.h"
#include "trove_version.h"

const char* const usageText =
    "Usage: trove [DIR]\n"
    "Browses DIR, or the current directory when none is given, in one window: its folders\n"
    "and files, thumbnail pages and pictures; a file chosen is handed to the player.\n"
    "\n"
    "  -h, --help     show this text and end\n"
    "      --version  show the version and end\n"
    "\n"
    "The keys and mouse buttons are described in the manual page trove(1) and in README.md.\n";

namespace {

bool IsOption(const char* word) { return word[0] == '-' && word[1] != '\0'; }

// Room for a message naming one word or path of any length the systems take.
constexpr std::size_t messageRoom = platform::longestPath + 256;

void Write(const char* text, platform::TextStream stream) {
  platform::WriteCommandLineText(text, stream);
}

// The reason a command line was refused, then the usage, on standard error as one text (one
// message box on Windows).
void WriteRefusal(const CommandLine& line) {
  static char message[messageRoom + 1024];
  const char* why =
      line.refusal == CommandRefusal::unknownOption ? "unknown option" : "too many arguments";
  std::snprintf(message, sizeof message, "trove: %s: %.*s\n%s", why,
                static_cast<int>(platform::longestPath), line.refused, usageText);
  Write(message, platform::TextStream::error);
}

void WriteStartDirectoryFailure(StartDirectory failure, const char* path) {
  const char* why = failure == StartDirectory::missing        ? "no such directory"
                    : failure == StartDirectory::notDirectory ? "not a directory"
                                                              : "the directory cannot be read";
  static char message[messageRoom];
  std::snprintf(message, sizeof message, "trove: %s: %s\n", path, why);
  Write(message, platform::TextStream::error);
}

}  // namespace

CommandLine ParseCommandLine(int count, const char* const* words) {
  CommandLine line;
  bool options = true;
  for (int i = 0; i < count; ++i) {
    const char* word = words[i];
    if (options && std::strcmp(word, "--") == 0) {
      options = false;
    } else if (options && (std::strcmp(word, "--help") == 0 || std::strcmp(word, "-h") == 0)) {
      line.action = CommandAction::help;
      return line;
    } else if (options && std::strcmp(word, "--version") == 0) {
      line.action = CommandAction::version;
      return line;
    } else if (options && IsOption(word)) {
      return {CommandAction::refuse, CommandRefusal::unknownOption, line.directory, word};
    } else if (line.directory != nullptr) {
      return {CommandAction::refuse, CommandRefusal::secondDirectory, line.directory, word};
    } else {
      line.directory = word;
    }
  }
  return line;
}

StartDirectory EnterStartDirectory(const char* path) {
  if (path[0] == '\0') return StartDirectory::missing;
  const std::uint32_t attributes = platform::FileAttributes(path);
  if (attributes == platform::invalidAttributes) return StartDirectory::missing;
  if ((attributes & platform::attributeDirectory) == 0) return StartDirectory::notDirectory;
  if (!platform::SetCurrentDir(path)) return StartDirectory::unreadable;
  // Listed as the browser lists it, and named by a path the browser can hold.
  char name[nameSlotSize];
  platform::DirectorySearch* search = platform::FindFirst("*.*", name, sizeof name);
  if (search == nullptr) return StartDirectory::unreadable;
  platform::FindClose(search);
  static char current[pathBufferSize];
  if (!platform::GetCurrentDir(current, sizeof current)) return StartDirectory::unreadable;
  return StartDirectory::entered;
}

std::optional<int> ReadCommandLine(int count, const char* const* words) {
  const CommandLine line = ParseCommandLine(count, words);
  switch (line.action) {
    case CommandAction::help:
      Write(usageText, platform::TextStream::output);
      return 0;
    case CommandAction::version: {
      static char version[64];
      std::snprintf(version, sizeof version, "trove %s\n", troveVersion);
      Write(version, platform::TextStream::output);
      return 0;
    }
    case CommandAction::refuse:
      WriteRefusal(line);
      return exitUsage;
    case CommandAction::run:
      break;
  }
  if (line.directory == nullptr) return std::nullopt;
  const StartDirectory entered = EnterStartDirectory(line.directory);
  if (entered == StartDirectory::entered) return std::nullopt;
  WriteStartDirectoryFailure(entered, line.directory);
  return exitStartDirectory;
}
