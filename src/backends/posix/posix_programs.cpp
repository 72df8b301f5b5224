// Finding a program by its name and starting it with posix_spawn.
#include "backends/posix/posix_programs.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

extern char** environ;

namespace native {

namespace {

bool IsProgram(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string ProgramPath(const char* file, const char* searchPath,
                        const std::function<bool(const std::string&)>& isProgram) {
  if (!file || *file == '\0') return "";
  const std::string name = file;
  if (name.find('/') != std::string::npos) return name[0] == '/' ? name : "";
  const std::string entries = searchPath ? searchPath : "/bin:/usr/bin";
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = std::min(entries.find(':', start), entries.size());
    const std::string folder = entries.substr(start, end - start);
    if (!folder.empty() && folder[0] == '/') {
      const std::string path = folder + (folder.back() == '/' ? "" : "/") + name;
      if (isProgram(path)) return path;
    }
    if (end == entries.size()) return "";
    start = end + 1;
  }
}

bool StartProgram(const char* file, const std::vector<std::string>& words) {
  const std::string path = ProgramPath(file, std::getenv("PATH"), IsProgram);
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

}  // namespace native
