// Reading the command line: the usage, the version, refusals and the start directory or file.
#include "shell/command_line.h"

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

// What the Linux program adds to the usage.
const char* const desktopUsageText =
    "\n"
    "The Linux program takes keys and buttons in its own window. With --global-input it takes\n"
    "them from the whole desktop instead, as the Windows program does: Escape, T and a right\n"
    "click then act while another program has the focus, and the keys only the Linux program\n"
    "has (Space, the arrows, Return, the wheel) are not taken.\n";

namespace {

bool IsOption(const char* word) { return word[0] == '-' && word[1] != '\0'; }

void Write(const std::string& text, platform::TextStream stream) {
  platform::WriteCommandLineText(text.c_str(), stream);
}

// The reason a command line was refused, then the usage, on standard error as one text (one
// message box on Windows).
void WriteRefusal(const CommandLine& line) {
  const char* why =
      line.refusal == CommandRefusal::unknownOption ? "unknown option" : "too many arguments";
  Write(std::string("trove: ") + why + ": " + ShownPath(line.refused) + "\n" + usageText,
        platform::TextStream::error);
}

const char* StartFailureText(StartDirectory failure, bool systemReason) {
  switch (failure) {
    case StartDirectory::missing:
      // The system said more than that the name does not exist.
      return systemReason ? "the directory cannot be reached" : "no such directory";
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

// Whether byte starts a character of UTF-8 (or is a byte of no character at all).
bool StartsCharacter(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }

// The directory holding the file named at nameStart, found by the path's text up to the name.
std::string HolderOf(const char* path, std::size_t nameStart) {
  return nameStart == 0 ? std::string(".") : std::string(path, nameStart);
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
  return platform::KindOfPath(cut.c_str()) == platform::PathKind::file;
}

}  // namespace

CommandLine ParseCommandLine(int count, const char* const* words, bool offersGlobalInput) {
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
    } else if (options && offersGlobalInput && std::strcmp(word, "--global-input") == 0) {
      line.globalInput = true;
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
  const platform::PathKind kind = platform::KindOfPath(path);
  if (kind == platform::PathKind::missing) {
    return NamesFileAsDirectory(path) ? StartDirectory::notDirectory : StartDirectory::missing;
  }
  if (kind != platform::PathKind::directory) return StartDirectory::notDirectory;
  if (!platform::SetCurrentDir(path)) return StartDirectory::unreadable;
  // Listed as the browser lists it, and named by a path the browser can hold.
  platform::DirectoryListing* listing = platform::ListCurrentDirectory();
  if (listing == nullptr) return StartDirectory::unreadable;
  platform::CloseListing(listing);
  char current[pathBufferSize];
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

std::string StartPathOf(const char* word, const platform::Conventions& conventions) {
  std::string path = word;
  if (conventions.pathSeparator == '\\' && !path.empty() && path.back() == '"') {
    path.back() = '\\';
  }
  return path;
}

std::string ShownPath(const char* path) {
  if (path[0] == '\0') return "\"\"";
  const std::size_t length = std::strlen(path);
  if (length <= shownPathBytes) return path;
  // The start and the end (which names the file) stay, each cut between characters.
  std::size_t head = (shownPathBytes - 3) / 2;
  while (head > 0 && !StartsCharacter(path[head])) --head;
  std::size_t tail = length - (shownPathBytes - 3) / 2;
  while (tail < length && !StartsCharacter(path[tail])) ++tail;
  return std::string(path, head) + "..." + (path + tail);
}

std::string StartFailureMessage(StartDirectory failure, const char* path,
                                const char* systemReason) {
  const bool reason = systemReason[0] != '\0';
  std::string message = "trove: " + ShownPath(path) + ": " + StartFailureText(failure, reason);
  if (reason) message += std::string(": ") + systemReason;
  return message + "\n";
}

StartDirectory EnterStartPath(const char* path, std::string& fileName) {
  const platform::PathKind kind = platform::KindOfPath(path);
  const std::size_t nameStart = LastNameStart(path, platform::PlatformConventions());
  if (kind != platform::PathKind::file || path[nameStart] == '\0') {
    return EnterStartDirectory(path);
  }
  if (EnterStartDirectory(HolderOf(path, nameStart).c_str()) != StartDirectory::entered) {
    return StartDirectory::holderUnreadable;
  }
  // Found as the system finds it (on Windows in any case, or by its short name), the file goes
  // by the name its folder's list shows.
  char listed[platform::longestName + 1];
  fileName =
      platform::ListedNameOf(path + nameStart, listed, sizeof listed) ? listed : path + nameStart;
  return StartDirectory::enteredForFile;
}

std::optional<int> ReadCommandLine(int count, const char* const* words, std::string& startFile) {
  const bool desktop = platform::PlatformConventions().desktopWays;
  const CommandLine line = ParseCommandLine(count, words, desktop);
  switch (line.action) {
    case CommandAction::help:
      Write(std::string(usageText) + (desktop ? desktopUsageText : ""),
            platform::TextStream::output);
      return 0;
    case CommandAction::version:
      Write(std::string("trove ") + troveVersion + "\n", platform::TextStream::output);
      return 0;
    case CommandAction::refuse:
      WriteRefusal(line);
      return exitUsage;
    case CommandAction::run:
      break;
  }
  if (line.globalInput) platform::TakeDesktopInput();
  if (line.path == nullptr) return std::nullopt;
  const std::string path = StartPathOf(line.path, platform::PlatformConventions());
  char start[pathBufferSize];
  const bool startKnown = platform::GetCurrentDir(start, sizeof start);
  const StartDirectory entered = EnterStartPath(path.c_str(), startFile);
  if (entered == StartDirectory::entered || entered == StartDirectory::enteredForFile) {
    return std::nullopt;
  }
  // The system is asked why from where the program started: a failed attempt may have left
  // another directory current.
  char reason[512] = "";
  if (entered != StartDirectory::notDirectory && startKnown && platform::SetCurrentDir(start)) {
    const std::string asked =
        entered == StartDirectory::holderUnreadable
            ? HolderOf(path.c_str(), LastNameStart(path.c_str(), platform::PlatformConventions()))
            : path;
    platform::DirectoryProblem(asked.c_str(), reason, sizeof reason);
  }
  Write(StartFailureMessage(entered, path.c_str(), reason), platform::TextStream::error);
  return exitStartDirectory;
}
