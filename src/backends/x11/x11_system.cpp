// The Linux backend's system side: paths and program names, the command line's texts, the
// program's own folders, pauses, process exit, starting programs with posix_spawn (by absolute
// path only), and
// pictures through the native decoders. Files and directories come from the shared POSIX code
// (backends/posix/posix_files.cpp).
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "backends/posix/data_folders.h"
#include "backends/posix/picture_decoder.h"
#include "backends/posix/posix_files.h"
#include "platform/platform.h"
#include "backends/x11/x11_connection.h"
#include "backends/x11/x11_words.h"

extern char** environ;

namespace {

bool IsProgram(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// Starts file with the argument words: by its absolute path, or by a bare name found in the
// absolute entries of PATH, never in the current directory.
bool Spawn(const char* file, const std::vector<std::string>& words) {
  const std::string path = x11::ProgramPath(file, std::getenv("PATH"), IsProgram);
  if (path.empty()) return false;
  std::vector<char*> argv;
  std::string name = file;
  argv.push_back(name.data());
  std::vector<std::string> arguments = words;
  for (std::string& word : arguments) argv.push_back(word.data());
  argv.push_back(nullptr);

  // The started program gets the default SIGCHLD handling whatever Trove's is, and becomes
  // its own process group so that Trove's terminal signals do not reach it.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGCHLD);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
  pid_t child = 0;
  int result = posix_spawn(&child, path.c_str(), nullptr, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  return result == 0;
}

}  // namespace

namespace platform {

const Conventions& PlatformConventions() {
  // Going up from "/a/" ends at "/", where it stops.
  // Names in UTF-8, and directories of up to ten million entries listed whole.
  static const Conventions posix = {'/', 1, 0, "spool", "xdg-open", true, true, true, 10000000};
  return posix;
}

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
// or the file cannot be opened. The programs Trove starts do not inherit it.
int ReportFile() {
  static const int fd = [] {
    const char* path = std::getenv("TROVE_REPORT");
    return path && *path ? open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644) : -1;
  }();
  return fd;
}

}  // namespace

bool ReportWanted() { return ReportFile() >= 0; }

void WriteReportLine(const char* line) {
  if (ReportFile() < 0) return;
  // Whatever the program asked of the server so far (a frame presented, say) is done there
  // before the line says so.
  if (x11::Server().display) XSync(x11::Server().display, False);
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

bool RunProgram(const char* file, const char* parameters) {
  if (!file || !parameters) return false;
  if (std::string(file) == PlatformConventions().explorerProgram) {
    // The whole parameter line is the directory, spaces and all; a directory that does not
    // exist is not opened at all.
    struct stat st;
    if (stat(parameters, &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    return Spawn(file, {parameters});
  }
  return Spawn(file, x11::ParameterWords(parameters));
}

void DisplayText(const char* text, char* shown, std::size_t room) {
  if (room == 0) return;
  std::snprintf(shown, room, "%s", text ? text : "");
}

bool DecodePicture(const char* path, bool (*mayDecode)(int, int), DecodedPicture* picture) {
  // There is no URL loader here: a URL fails like any unreadable file.
  if (!path || std::strstr(path, "http://") != nullptr) return false;
  return native::DecodePictureFile(native::PosixPath(path).c_str(), mayDecode, picture);
}

bool DecodePictureRows(const char* path, bool (*mayDecode)(int, int), const RowSelection& rows,
                       DecodedPicture* picture) {
  if (!path || std::strstr(path, "http://") != nullptr) return false;
  return native::DecodePictureFile(native::PosixPath(path).c_str(), mayDecode, picture, &rows);
}

void ReleasePicture(DecodedPicture* picture) { native::ReleaseDecodedPicture(picture); }

// The native decoders need nothing per thread. A background thread takes a nice value of 10:
// on Linux the nice value belongs to the thread named by its own id.
void BeginDecodeThread(bool background) {
  if (background) setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
}
void EndDecodeThread() {}

// The native decoders look at the abandoned flag between rows of blocks.
bool AbandonedDecodesStop() { return true; }

}  // namespace platform
