// The Linux program's own folders, from the executable's path.
#include "backends/posix/data_folders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace native {

namespace {

// The path up to its last slash, without it ("/" stays "/" only as "").
std::string Parent(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string LastName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsDirectory(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The game's asset folders, as the asset generator lays them out.
constexpr const char* assetFolders[] = {"bmp_cross", "bmp_unit",      "bmp_land", "bmp_dungeon",
                                        "bmp_item",  "bmp_structure", "bmp_scr",  "bmp_cube"};

// The target of /proc/self/exe, read into a buffer that grows until the whole path fits.
std::string ExecutablePath() {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return "";
    if (static_cast<std::size_t>(n) < buffer.size()) return std::string(buffer.data(), n);
    if (buffer.size() > 65536) return "";
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

DataFolders DataFoldersOf(const std::string& executable,
                          const std::function<bool(const std::string&)>& isDirectory,
                          const std::function<bool(const std::string&)>& isFile) {
  const std::string folder = Parent(executable);
  if (LastName(folder) != "bin") return {folder, folder, true};
  // "/usr/bin" gives the prefix "/usr"; a program in "/bin" has the prefix "".
  const std::string prefix = Parent(folder);
  const DataFolders installed = {prefix + "/share/trove", prefix + "/lib/trove", true};
  if (isDirectory(installed.assets)) return installed;
  // A damaged installation must not run whatever lies beside the program: a bin folder is
  // taken for a program folder only when it is whole.
  bool whole = isFile(folder + "/spool");
  for (const char* name : assetFolders) whole = whole && isDirectory(folder + "/" + name);
  if (whole) return {folder, folder, true};
  return {installed.assets, installed.player, false};
}

const DataFolders& RunningDataFolders() {
  static const DataFolders folders = [] {
    const std::string executable = ExecutablePath();
    if (executable.empty() || executable[0] != '/') return DataFolders{};
    return DataFoldersOf(executable, IsDirectory, IsFile);
  }();
  return folders;
}

}  // namespace native
