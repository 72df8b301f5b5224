// Files and directories over POSIX, and the conventions the core writes their paths with, for
// every POSIX backend.
#include "backends/posix/posix_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "backends/posix/posix_system.h"
#include "platform/platform.h"

namespace native {

namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

std::string WithSlashes(const char* path, char separator) {
  std::string p = path;
  for (char& c : p) {
    if (c == separator) c = '/';
  }
  return p;
}

// Case-insensitive in ASCII only, so the order does not depend on the locale.
int CompareWithoutCase(const std::string& a, const std::string& b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    int ca = std::tolower(static_cast<unsigned char>(a[i]));
    int cb = std::tolower(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

std::FILE* OpenRegularFile(const std::string& path) {
  // O_NONBLOCK keeps the open itself from waiting (a FIFO without a writer); the type is then
  // read from the open descriptor, so nothing can swap the file in between.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return nullptr;
  }
  const int flags = fcntl(fd, F_GETFL);
  if (flags == -1 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1) {
    close(fd);
    return nullptr;
  }
  std::FILE* file = fdopen(fd, "rb");
  if (!file) close(fd);
  return file;
}

std::string PosixPath(const char* path) {
  if (!path) return "";
  const char separator = CurrentSystem().conventions.pathSeparator;
  if (separator != '/') return WithSlashes(path, separator);
  std::string literal = path;
  if (literal.rfind(".\\", 0) == 0 && !Exists(literal)) return WithSlashes(path, '\\');
  return literal;
}

void OrderListing(std::vector<std::string>* names) {
  auto rank = [](const std::string& name) { return name == "." ? 0 : name == ".." ? 1 : 2; };
  std::stable_sort(names->begin(), names->end(), [&](const std::string& a, const std::string& b) {
    if (rank(a) != rank(b)) return rank(a) < rank(b);
    int c = CompareWithoutCase(a, b);
    return c != 0 ? c < 0 : a < b;
  });
}

}  // namespace native

namespace platform {

struct DirectoryListing {
  std::vector<std::string> names;  // the whole listing, in order
  std::size_t next = 0;
};

struct ReadFile {
  std::FILE* file;
};

const Conventions& PlatformConventions() { return native::CurrentSystem().conventions; }

namespace {

void CopyName(const char* from, char* name, std::size_t nameSize) {
  if (nameSize == 0) return;
  std::snprintf(name, nameSize, "%s", from);
}

}  // namespace

bool GetCurrentDir(char* buffer, std::size_t size) {
  if (size == 0) return false;
  if (getcwd(buffer, size) == nullptr) {
    buffer[0] = '\0';
    return false;
  }
  return true;
}

bool SetCurrentDir(const char* path) { return chdir(native::PosixPath(path).c_str()) == 0; }

// POSIX names are exact: the name given is the file's only one.
bool ListedNameOf(const char*, char*, std::size_t) { return false; }

PathKind KindOfPath(const char* path) {
  struct stat st;
  if (stat(native::PosixPath(path).c_str(), &st) != 0) return PathKind::missing;
  return S_ISDIR(st.st_mode) ? PathKind::directory : PathKind::file;
}

DirectoryListing* ListCurrentDirectory() {
  // The whole directory is read at once so that the Linux program can list it in order.
  DIR* dir = opendir(".");
  if (!dir) return nullptr;
  auto* listing = new DirectoryListing;
  while (struct dirent* entry = readdir(dir)) listing->names.emplace_back(entry->d_name);
  closedir(dir);
  // A directory removed while current has nothing at all to list.
  if (listing->names.empty()) {
    delete listing;
    return nullptr;
  }
  if (native::CurrentSystem().ordersListings) native::OrderListing(&listing->names);
  return listing;
}

bool DirectoryProblem(const char* path, char* text, std::size_t room) {
  if (room > 0) text[0] = '\0';
  DIR* dir = opendir(native::PosixPath(path).c_str());
  if (dir != nullptr) {
    closedir(dir);
    return false;
  }
  if (errno == ENOENT || room == 0) return false;
  std::snprintf(text, room, "%s", std::strerror(errno));
  return true;
}

bool NextEntry(DirectoryListing* listing, char* name, std::size_t nameSize, DirectoryEntry* entry) {
  if (!listing || listing->next >= listing->names.size()) return false;
  CopyName(listing->names[listing->next++].c_str(), name, nameSize);
  if (!entry) return true;
  *entry = {};
  if (nameSize == 0) return true;
  // The kind is what stat says of the name as handed over: a symbolic link counts as what it
  // leads to, and one that leads nowhere (or round in a loop) is a file.
  entry->isDirectory = KindOfPath(name) == PathKind::directory;
  // A name starting with a dot is what a POSIX user calls hidden.
  entry->hidden = name[0] == '.' && std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0;
  return true;
}

void CloseListing(DirectoryListing* listing) { delete listing; }

bool ReadFileStamp(const char* path, FileStamp* stamp) {
  struct stat st;
  if (stat(native::PosixPath(path).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  stamp->size = static_cast<std::uint64_t>(st.st_size);
  stamp->writeTime = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return true;
}

ReadFile* OpenForReading(const char* path) {
  std::FILE* f = native::OpenRegularFile(native::PosixPath(path));
  if (!f) return nullptr;
  // Running out of memory is a failed open like any other, never an exception.
  auto* file = new (std::nothrow) ReadFile{f};
  if (!file) std::fclose(f);
  return file;
}

std::size_t ReadBytes(ReadFile* file, void* buffer, std::size_t size) {
  if (!file || size == 0) return 0;
  return std::fread(buffer, 1, size, file->file);
}

void CloseFile(ReadFile* file) {
  if (!file) return;
  std::fclose(file->file);
  delete file;
}

}  // namespace platform
