// The Windows backend's files and directories: the current directory, listings, kinds of
// paths, file stamps and reading. Every name goes through the wide-character API: names outside
// the system's code page are listed, opened and entered by what the file system really holds.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <new>

#include "platform/platform.h"
#include "backends/win32/win32_backend.h"
#include "backends/win32/win32_entries.h"

namespace platform {

struct DirectoryListing {
  HANDLE handle;           // INVALID_HANDLE_VALUE for a listing without entries
  WIN32_FIND_DATAW first;  // what FindFirstFileW found, until it is handed over
  bool firstPending;
};

struct ReadFile {
  HANDLE handle;
};

namespace {

using win32::Narrow;
using win32::Widen;
using win32::wideRoom;

static_assert(win32::invalidAttributes == INVALID_FILE_ATTRIBUTES);
static_assert(win32::hiddenAttribute == FILE_ATTRIBUTE_HIDDEN);
static_assert(win32::directoryAttribute == FILE_ATTRIBUTE_DIRECTORY);

// A name that does not fit the caller's buffer is not handed over cut: a cut name would name
// another file or none. The listing then hands over the next name instead.
bool CopyName(const wchar_t* from, char* name, std::size_t nameSize) {
  return Narrow(from, name, nameSize) && name[0] != '\0';
}

// The attributes of a path relative to the current directory, as GetFileAttributesW reads them.
std::uint32_t AttributesOf(const char* path) {
  wchar_t wide[wideRoom];
  if (!Widen(path, wide, wideRoom) || wide[0] == L'\0') return win32::invalidAttributes;
  return static_cast<std::uint32_t>(GetFileAttributesW(wide));
}

// A path Windows takes: at most MAX_PATH - 1 UTF-16 units once joined to the current
// directory. Systems that take longer ones (Wine, long-path-aware Windows) are held to the same
// limit, so that the program enters and opens the same paths everywhere.
bool WidenPath(const char* path, wchar_t* wide) {
  if (!Widen(path, wide, wideRoom) || wide[0] == L'\0') return false;
  wchar_t full[wideRoom];
  const DWORD n = GetFullPathNameW(wide, wideRoom, full, nullptr);
  return n > 0 && n < MAX_PATH;
}

}  // namespace

bool GetCurrentDir(char* buffer, std::size_t size) {
  if (size == 0) return false;
  buffer[0] = '\0';
  wchar_t wide[wideRoom];
  DWORD n = GetCurrentDirectoryW(wideRoom, wide);
  if (n == 0 || n >= MAX_PATH) return false;
  return Narrow(wide, buffer, size);
}

bool SetCurrentDir(const char* path) {
  wchar_t wide[wideRoom];
  return WidenPath(path, wide) && SetCurrentDirectoryW(wide) != FALSE;
}

PathKind KindOfPath(const char* path) { return win32::KindOf(AttributesOf(path)); }

bool ListedNameOf(const char* path, char* name, std::size_t size) {
  // Wildcards would make the look-up a search; no file of such a name exists.
  if (std::strpbrk(path, "*?")) return false;
  wchar_t wide[wideRoom];
  if (!Widen(path, wide, wideRoom) || wide[0] == L'\0') return false;
  WIN32_FIND_DATAW data = {};
  HANDLE handle = FindFirstFileW(wide, &data);
  if (handle == INVALID_HANDLE_VALUE) return false;
  ::FindClose(handle);
  return CopyName(data.cFileName, name, size);
}

DirectoryListing* ListCurrentDirectory() {
  WIN32_FIND_DATAW data = {};
  HANDLE handle = FindFirstFileW(L"*.*", &data);
  // Only a drive's root lacks "." and "..": with nothing else in it, it lists as empty.
  const bool empty = handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND;
  if (handle == INVALID_HANDLE_VALUE && !empty) return nullptr;
  auto* listing = new (std::nothrow) DirectoryListing{handle, data, !empty};
  if (!listing && !empty) ::FindClose(handle);
  return listing;
}

bool NextEntry(DirectoryListing* listing, char* name, std::size_t nameSize, DirectoryEntry* entry) {
  if (!listing || listing->handle == INVALID_HANDLE_VALUE) return false;
  bool found = false;
  if (listing->firstPending) {
    listing->firstPending = false;
    found = CopyName(listing->first.cFileName, name, nameSize);
  }
  WIN32_FIND_DATAW data;
  while (!found && FindNextFileW(listing->handle, &data)) {
    found = CopyName(data.cFileName, name, nameSize);
  }
  if (!found) return false;
  // The kind is read by the name as handed over, as any path relative to the current directory.
  if (entry) *entry = win32::EntryOf(AttributesOf(name));
  return true;
}

// The Windows program reads a directory an entry at a time.
bool TakeEntries(DirectoryListing*, std::size_t, ListedEntries*) { return false; }

void CloseListing(DirectoryListing* listing) {
  if (!listing) return;
  if (listing->handle != INVALID_HANDLE_VALUE) ::FindClose(listing->handle);
  delete listing;
}

bool DirectoryProblem(const char* path, char* text, std::size_t room) {
  if (room > 0) text[0] = '\0';
  wchar_t wide[wideRoom];
  if (room == 0 || !WidenPath(path, wide)) return false;
  // The directory's listing is asked for as the browser asks for it.
  const std::size_t length = std::wcslen(wide);
  if (length + 3 > wideRoom) return false;
  std::wcscpy(wide + length, wide[length - 1] == L'\\' || wide[length - 1] == L'/' ? L"*" : L"\\*");
  WIN32_FIND_DATAW data;
  const HANDLE handle = FindFirstFileW(wide, &data);
  const DWORD error = GetLastError();
  if (handle != INVALID_HANDLE_VALUE) ::FindClose(handle);
  if (handle != INVALID_HANDLE_VALUE || error == ERROR_FILE_NOT_FOUND ||
      error == ERROR_PATH_NOT_FOUND) {
    return false;
  }
  wchar_t said[512];
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, error, 0, said, 512, nullptr);
  if (n == 0) {
    std::snprintf(text, room, "system error %lu", static_cast<unsigned long>(error));
    return true;
  }
  // The system's sentence without its closing full stop and line break.
  std::size_t end = n;
  while (end > 0 && (said[end - 1] == L'\r' || said[end - 1] == L'\n' || said[end - 1] == L' ' ||
                     said[end - 1] == L'.')) {
    --end;
  }
  said[end] = L'\0';
  if (!Narrow(said, text, room))
    std::snprintf(text, room, "system error %lu", static_cast<unsigned long>(error));
  return true;
}

bool ReadFileStamp(const char* path, FileStamp* stamp) {
  wchar_t wide[wideRoom];
  if (!WidenPath(path, wide)) return false;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(wide, GetFileExInfoStandard, &data)) return false;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  stamp->size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  stamp->writeTime = static_cast<std::int64_t>(
      (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
      data.ftLastWriteTime.dwLowDateTime);
  return true;
}

ReadFile* OpenForReading(const char* path) {
  wchar_t wide[wideRoom];
  if (!WidenPath(path, wide)) return nullptr;
  // Read access only, existing files only: a missing asset is never created.
  HANDLE handle = CreateFileW(wide, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  // Disk files only: a device name (CON, NUL, COM1 ...) or a pipe is never read.
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    CloseHandle(handle);
    return nullptr;
  }
  // Running out of memory is a failed open like any other, never an exception.
  auto* file = new (std::nothrow) ReadFile{handle};
  if (!file) CloseHandle(handle);
  return file;
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
