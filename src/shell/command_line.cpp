// Reading the command line: the usage, the version, refusals and the start directory or file.
#include "shell/command_line.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "browser/file_list.h"
#include "platform/platform.h"
#include "shell/trove_main.h"
#include "trove_version.h"

const char* const usageText =
    "Usage: trove [DIR | FILE]\n"
    "Browses DIR, or the current directory when none is given, in one window: its folders\n"
    "and files, thumbnail pages and pictures; a file chosen is handed to the player.\n"
    "A FILE is shown in its folder: a picture on its own, anything else selected in the list.\n"
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

const char* StartFailureText(StartDirectory failure) {
  switch (failure) {
    case StartDirectory::missing:
      return "no such directory";
    case StartDirectory::notDirectory:
      return "not a directory";
    case StartDirectory::holderUnreadable:
      return "its directory cannot be read";
    case StartDirectory::unreadable:
    case StartDirectory::entered:
    case StartDirectory::enteredForFile:
      break;
  }
  return "the directory cannot be read";
}

void WriteStartDirectoryFailure(StartDirectory failure, const char* path) {
  static char message[messageRoom];
  std::snprintf(message, sizeof message, "trove: %s: %s\n", path, StartFailureText(failure));
  Write(message, platform::TextStream::error);
}

bool IsSeparator(char c, const platform::Conventions& conventions) {
  return c == '/' || (conventions.pathSeparator == '\\' && c == '\\');
}

// A file named with separators after its name ("photo.jpg/"), which POSIX systems do not find
// at all.
bool NamesFileAsDirectory(const char* path) {
  const platform::Conventions& conventions = platform::PlatformConventions();
  std::string cut = path;
  while (!cut.empty() && IsSeparator(cut.back(), conventions)) cut.pop_back();
  if (cut.empty() || cut.size() == std::strlen(path)) return false;
  const std::uint32_t attributes = platform::FileAttributes(cut.c_str());
  return attributes != platform::invalidAttributes &&
         (attributes & platform::attributeDirectory) == 0;
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
      return {CommandAction::refuse, CommandRefusal::unknownOption, line.path, word};
    } else if (line.path != nullptr) {
      return {CommandAction::refuse, CommandRefusal::secondPath, line.path, word};
    } else {
      line.path = word;
    }
  }
  return line;
}

StartDirectory EnterStartDirectory(const char* path) {
  if (path[0] == '\0') return StartDirectory::missing;
  const std::uint32_t attributes = platform::FileAttributes(path);
  if (attributes == platform::invalidAttributes) {
    return NamesFileAsDirectory(path) ? StartDirectory::notDirectory : StartDirectory::missing;
  }
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

std::size_t LastNameStart(const char* path, const platform::Conventions& conventions) {
  std::size_t start = 0;
  // A drive's colon ends the drive as a separator would: "C:photo.jpg" lies in the current
  // directory of drive C.
  if (conventions.pathSeparator == '\\' && path[0] != '\0' && path[1] == ':') start = 2;
  for (std::size_t i = start; path[i] != '\0'; ++i) {
    if (IsSeparator(path[i], conventions)) start = i + 1;
  }
  return start;
}

StartDirectory EnterStartPath(const char* path, std::string& fileName) {
  const std::uint32_t attributes = platform::FileAttributes(path);
  const std::size_t nameStart = LastNameStart(path, platform::PlatformConventions());
  if (attributes == platform::invalidAttributes ||
      (attributes & platform::attributeDirectory) != 0 || path[nameStart] == '\0') {
    return EnterStartDirectory(path);
  }
  // A file: its directory is browsed, found by the path's text up to the file's name.
  const std::string holder = nameStart == 0 ? std::string(".") : std::string(path, nameStart);
  if (EnterStartDirectory(holder.c_str()) != StartDirectory::entered) {
    return StartDirectory::holderUnreadable;
  }
  fileName = path + nameStart;
  return StartDirectory::enteredForFile;
}

std::optional<int> ReadCommandLine(int count, const char* const* words, std::string& startFile) {
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
  if (line.path == nullptr) return std::nullopt;
  const StartDirectory entered = EnterStartPath(line.path, startFile);
  if (entered == StartDirectory::entered || entered == StartDirectory::enteredForFile) {
    return std::nullopt;
  }
  WriteStartDirectoryFailure(entered, line.path);
  return exitStartDirectory;
}
