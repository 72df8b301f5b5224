// The Linux program's own folders, from the executable's path.
#include "platform/native/data_folders.h"

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
                          const std::function<bool(const std::string&)>& isDirectory) {
  const std::string folder = Parent(executable);
  if (LastName(folder) == "bin") {
    // "/usr/bin" gives the prefix "/usr"; a program in "/bin" has the prefix "".
    const std::string prefix = Parent(folder);
    if (isDirectory(prefix + "/share/trove")) {
      return {prefix + "/share/trove", prefix + "/lib/trove"};
    }
  }
  return {folder, folder};
}

const DataFolders& RunningDataFolders() {
  static const DataFolders folders = [] {
    const std::string executable = ExecutablePath();
    if (executable.empty() || executable[0] != '/') return DataFolders{};
    return DataFoldersOf(executable, IsDirectory);
  }();
  return folders;
}

}  // namespace native
