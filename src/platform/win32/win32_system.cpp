// The Windows backend's system side: pauses, process exit, shell execution, files and
// directories.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "platform/platform.h"
#include "platform/win32/win32_backend.h"

namespace platform {

struct DirectorySearch {
  HANDLE handle;
};

struct ReadFile {
  HANDLE handle;
};

namespace {

void CopyName(const char* from, char* name, std::size_t nameSize) {
  if (nameSize > 0) std::snprintf(name, nameSize, "%s", from);
}

}  // namespace

void Pause(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

void ExitProgram(int exitCode) { ExitProcess(static_cast<UINT>(exitCode)); }

bool RunProgram(const char* file, const char* parameters) {
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = 0;
  info.hwnd = MainWindowHandle();
  info.lpVerb = nullptr;
  info.lpFile = file;
  info.lpParameters = parameters;
  info.lpDirectory = nullptr;
  info.nShow = SW_SHOWNORMAL;
  return ShellExecuteExA(&info) != FALSE;
}

bool GetCurrentDir(char* buffer, std::size_t size) {
  if (size == 0) return false;
  DWORD n = GetCurrentDirectoryA(static_cast<DWORD>(size), buffer);
  if (n == 0 || n >= size) {
    buffer[0] = '\0';
    return false;
  }
  return true;
}

bool SetCurrentDir(const char* path) { return SetCurrentDirectoryA(path) != FALSE; }

std::uint32_t FileAttributes(const char* path) {
  return static_cast<std::uint32_t>(GetFileAttributesA(path));
}

DirectorySearch* FindFirst(const char* pattern, char* name, std::size_t nameSize) {
  WIN32_FIND_DATAA data;
  HANDLE handle = FindFirstFileA(pattern, &data);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  CopyName(data.cFileName, name, nameSize);
  return new DirectorySearch{handle};
}

bool FindNext(DirectorySearch* search, char* name, std::size_t nameSize) {
  if (!search) return false;
  WIN32_FIND_DATAA data;
  if (!FindNextFileA(search->handle, &data)) return false;
  CopyName(data.cFileName, name, nameSize);
  return true;
}

void FindClose(DirectorySearch* search) {
  if (!search) return;
  ::FindClose(search->handle);
  delete search;
}

bool ReadFileStamp(const char* path, FileStamp* stamp) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return false;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  stamp->size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  stamp->writeTime = static_cast<std::int64_t>(
      (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
      data.ftLastWriteTime.dwLowDateTime);
  return true;
}

ReadFile* OpenForReading(const char* path) {
  // Read access only, existing files only: a missing asset is never created.
  HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return new ReadFile{handle};
}

std::size_t ReadBytes(ReadFile* file, void* buffer, std::size_t size) {
  if (!file) return 0;
  std::size_t total = 0;
  auto* out = static_cast<char*>(buffer);
  while (total < size) {
    DWORD chunk = static_cast<DWORD>(size - total > 0x40000000u ? 0x40000000u : size - total);
    DWORD got = 0;
    if (!::ReadFile(file->handle, out + total, chunk, &got, nullptr) || got == 0) break;
    total += got;
  }
  return total;
}

void CloseFile(ReadFile* file) {
  if (!file) return;
  CloseHandle(file->handle);
  delete file;
}

}  // namespace platform
