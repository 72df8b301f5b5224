// The system side of a real POSIX program (the Linux program): its conventions, the command
// line's texts, its own folders, the report file, pauses, process exit, starting programs and
// the decode threads' priority. The headless backend stands in for all of these itself and is
// built without this file.
#include "backends/posix/posix_system.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "backends/posix/data_folders.h"
#include "backends/posix/posix_programs.h"
#include "platform/platform.h"

namespace native {

const System& CurrentSystem() { return linuxSystem; }

}  // namespace native

namespace platform {

void WriteCommandLineText(const char* text, TextStream stream) {
  std::FILE* to = stream == TextStream::error ? stderr : stdout;
  std::fputs(text ? text : "", to);
  std::fflush(to);
}

bool DataFolder(DataFolderKind kind, char* buffer, std::size_t size) {
  if (size == 0) return false;
  buffer[0] = '\0';
  const native::DataFolders& folders = native::RunningDataFolders();
  const std::string& folder = kind == DataFolderKind::assets ? folders.assets : folders.player;
  if (folder.empty() || folder.size() >= size) return false;
  // A folder looked for in vain is handed over all the same, to be named.
  std::memcpy(buffer, folder.c_str(), folder.size() + 1);
  return folders.found;
}

namespace {

// The file TROVE_REPORT names, opened for appending on first use; -1 when the variable is unset
// or the file cannot be opened. The programs Trove starts do not inherit it. It is never opened
// through a symbolic link, and neither the opening nor a write ever waits: a FIFO nobody reads
// is not opened, and a line that cannot be written at once is dropped.
int ReportFile() {
  static const int fd = [] {
    const char* path = std::getenv("TROVE_REPORT");
    const int flags = O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW;
    return path && *path ? open(path, flags, 0644) : -1;
  }();
  return fd;
}

}  // namespace

bool ReportWanted() { return ReportFile() >= 0; }

void WriteReportLine(const char* line) {
  if (ReportFile() < 0) return;
  native::FinishDisplayRequests();
  const std::string text = std::string(line) + "\n";
  // One write, unbuffered: the line is whole in the file once it returns.
  if (write(ReportFile(), text.data(), text.size()) < 0) return;
}

void Pause(int milliseconds) {
  if (milliseconds <= 0) return;
  struct timespec wait = {milliseconds / 1000, (milliseconds % 1000) * 1000000L};
  while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
  }
}

void ExitProgram(int exitCode) { std::exit(exitCode); }

void EndBesideDecodes(int exitCode) {
  std::fflush(nullptr);
  std::_Exit(exitCode);
}

bool RunProgram(const char* file, const char* const* words, std::size_t wordCount) {
  if (!file || (wordCount > 0 && !words)) return false;
  std::vector<std::string> arguments;
  for (std::size_t i = 0; i < wordCount; ++i) arguments.emplace_back(words[i] ? words[i] : "");
  if (std::strcmp(file, PlatformConventions().explorerProgram) == 0) {
    // The explorer's one word is the directory; one that does not exist is not opened at all.
    struct stat st;
    if (arguments.size() != 1 || stat(arguments[0].c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
      return false;
    }
  }
  return native::StartProgram(file, arguments);
}

void DisplayText(const char* text, char* shown, std::size_t room) {
  if (room == 0) return;
  std::snprintf(shown, room, "%s", text ? text : "");
}

// The native decoders need nothing per thread. A background thread takes a nice value of 10:
// on Linux the nice value belongs to the thread named by its own id.
void BeginDecodeThread(bool background) {
  if (background) setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
}
void EndDecodeThread() {}

}  // namespace platform
