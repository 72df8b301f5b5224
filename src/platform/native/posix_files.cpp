// Files, directories and attributes over POSIX for the native backends.
#include "platform/native/posix_files.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/platform.h"

namespace native {

std::string PosixPath(const char* path) {
  std::string p = path ? path : "";
  for (char& c : p) {
    if (c == '\\') c = '/';
  }
  return p;
}

}  // namespace native

namespace platform {

struct DirectorySearch {
  DIR* dir;
};

struct ReadFile {
  std::FILE* file;
};

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

bool SetCurrentDir(const char* path) {
  return chdir(native::PosixPath(path).c_str()) == 0;
}

std::uint32_t FileAttributes(const char* path) {
  std::string p = native::PosixPath(path);
  struct stat st;
  if (stat(p.c_str(), &st) != 0) {
    return invalidAttributes;
  }
  std::uint32_t attributes = S_ISDIR(st.st_mode) ? attributeDirectory : attributeArchive;
  // A name starting with a dot is what a POSIX user calls hidden.
  const char* base = std::strrchr(p.c_str(), '/');
  base = base ? base + 1 : p.c_str();
  if (base[0] == '.' && std::strcmp(base, ".") != 0 && std::strcmp(base, "..") != 0) {
    attributes |= attributeHidden;
  }
  if (access(p.c_str(), W_OK) != 0) {
    attributes |= attributeReadOnly;
  }
  return attributes;
}

DirectorySearch* FindFirst(const char* pattern, char* name, std::size_t nameSize) {
  // Only the match-everything patterns the browser uses are supported.
  if (std::strcmp(pattern, "*.*") != 0 && std::strcmp(pattern, "*") != 0) {
    return nullptr;
  }
  DIR* dir = opendir(".");
  if (!dir) return nullptr;
  struct dirent* entry = readdir(dir);
  if (!entry) {
    closedir(dir);
    return nullptr;
  }
  CopyName(entry->d_name, name, nameSize);
  return new DirectorySearch{dir};
}

bool FindNext(DirectorySearch* search, char* name, std::size_t nameSize) {
  if (!search) return false;
  struct dirent* entry = readdir(search->dir);
  if (!entry) return false;
  CopyName(entry->d_name, name, nameSize);
  return true;
}

void FindClose(DirectorySearch* search) {
  if (!search) return;
  closedir(search->dir);
  delete search;
}

bool ReadFileStamp(const char* path, FileStamp* stamp) {
  struct stat st;
  if (stat(native::PosixPath(path).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  stamp->size = static_cast<std::uint64_t>(st.st_size);
  stamp->writeTime = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return true;
}

ReadFile* OpenForReading(const char* path) {
  std::string p = native::PosixPath(path);
  struct stat st;
  if (stat(p.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
    return nullptr;
  }
  std::FILE* f = std::fopen(p.c_str(), "rb");
  if (!f) return nullptr;
  return new ReadFile{f};
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
