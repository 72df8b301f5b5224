// Files and directories over POSIX, and the conventions the core writes their paths with, for
// every POSIX backend.
#include "backends/posix/posix_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <span>
#include <string_view>

#include "backends/posix/posix_system.h"
#include "base/name_order.h"
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

void OrderListing(std::vector<std::string>* names, std::size_t batch) {
  std::vector<char> text;
  std::vector<NamePlace> places;
  for (const std::string& name : *names) {
    places.push_back({text.size(), name.size()});
    text.insert(text.end(), name.begin(), name.end());
  }
  NameSorter sorter(text);
  batch = std::max<std::size_t>(batch, 1);
  for (std::size_t first = 0; first < places.size(); first += batch) {
    sorter.Add(std::span(places).subspan(first, std::min(batch, places.size() - first)));
  }
  std::vector<std::string> ordered;
  ordered.reserve(names->size());
  for (std::uint32_t i : sorter.Order()) ordered.push_back(std::move((*names)[i]));
  *names = std::move(ordered);
}

}  // namespace native

namespace platform {

// The whole listing at once: the names back to back, each with its terminator, and in the
// listing's order where each starts and what readdir says it is.
struct DirectoryListing {
  struct Name {
    std::size_t start;
    std::size_t length;
    unsigned char type;  // DT_DIR, DT_LNK, DT_UNKNOWN, ...
  };
  std::string text;
  std::vector<Name> names;
  std::size_t next = 0;
};

struct ReadFile {
  std::FILE* file;
};

const Conventions& PlatformConventions() { return native::CurrentSystem().conventions; }

namespace {

void CopyName(const char* from, std::size_t length, char* name, std::size_t nameSize) {
  if (nameSize == 0) return;
  length = std::min(length, nameSize - 1);
  std::memcpy(name, from, length);
  name[length] = '\0';
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

namespace {

// Reads the whole directory into listing, in the Linux program's order where it is kept.
void ReadWholeDirectory(DIR* dir, DirectoryListing* listing) {
  while (struct dirent* entry = readdir(dir)) {
    const std::size_t length = std::strlen(entry->d_name);
    listing->names.push_back({listing->text.size(), length, entry->d_type});
    listing->text.append(entry->d_name, length + 1);
  }
  if (listing->names.empty() || !native::CurrentSystem().ordersListings) return;
  std::vector<std::string_view> views;
  views.reserve(listing->names.size());
  for (const DirectoryListing::Name& n : listing->names) {
    views.emplace_back(&listing->text[n.start], n.length);
  }
  std::vector<DirectoryListing::Name> ordered;
  ordered.reserve(listing->names.size());
  for (std::uint32_t i : NameOrder(views)) ordered.push_back(listing->names[i]);
  listing->names = std::move(ordered);
}

}  // namespace

DirectoryListing* ListCurrentDirectory() {
  // The whole directory is read at once so that the Linux program can list it in order.
  DIR* dir = opendir(".");
  if (!dir) return nullptr;
  auto* listing = new (std::nothrow) DirectoryListing;
  try {
    if (listing) ReadWholeDirectory(dir, listing);
  } catch (const std::bad_alloc&) {
    // A directory larger than the memory left cannot be listed.
    delete listing;
    listing = nullptr;
  }
  closedir(dir);
  // A directory removed while current has nothing at all to list.
  if (listing && listing->names.empty()) {
    delete listing;
    return nullptr;
  }
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
  const DirectoryListing::Name& listed = listing->names[listing->next++];
  CopyName(&listing->text[listed.start], listed.length, name, nameSize);
  if (!entry) return true;
  *entry = {};
  if (nameSize == 0) return true;
  // The kind is what the listing says, or where it cannot tell (a symbolic link, a file system
  // that does not say) what stat says of the name as handed over: a symbolic link counts as
  // what it leads to, and one that leads nowhere (or round in a loop) is a file.
  if (listed.type == DT_DIR) {
    entry->isDirectory = true;
  } else if (listed.type == DT_LNK || listed.type == DT_UNKNOWN) {
    entry->isDirectory = KindOfPath(name) == PathKind::directory;
  }
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
