// The Windows backend's system side: the command line's texts, the program's own folder,
// pauses, process exit, shell execution, files and directories. Every name goes through the
// wide-character API: names outside the system's code page are listed, opened, entered and
// launched by what the file system really holds.
#include <windows.h>
#include <shellapi.h>

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

bool Widen(const char* text, wchar_t* wide, int room) {
  if (!text || room <= 0) return false;
  wide[0] = L'\0';
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, wide, room) > 0;
}

bool Narrow(const wchar_t* wide, char* text, std::size_t room) {
  if (!wide || room == 0) return false;
  text[0] = '\0';
  const int limit = room > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(room);
  if (WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, limit, nullptr, nullptr) > 0) return true;
  text[0] = '\0';
  return false;
}

void DisplayText(const char* text, char* shown, std::size_t room) {
  if (room == 0) return;
  shown[0] = '\0';
  if (!text) return;
  bool ascii = true;
  for (const char* c = text; *c && ascii; ++c) ascii = static_cast<unsigned char>(*c) < 0x80;
  wchar_t wide[wideRoom];
  const int limit = room > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(room);
  if (!ascii && Widen(text, wide, wideRoom) &&
      WideCharToMultiByte(CP_ACP, 0, wide, -1, shown, limit, "?", nullptr) > 0) {
    return;
  }
  // ASCII reads the same in every code page; text that is no UTF-8 is shown byte for byte.
  std::snprintf(shown, room, "%s", text);
}

void WriteCommandLineText(const char* text, TextStream stream) {
  if (!text) return;
  const bool error = stream == TextStream::error;
  // A windowed program has standard handles only where its starter gave it some (a redirection,
  // a console, Wine started from a shell); the bytes go there as they are, UTF-8.
  HANDLE handle = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  const DWORD length = static_cast<DWORD>(std::strlen(text));
  DWORD written = 0;
  const bool wrote = handle != nullptr && handle != INVALID_HANDLE_VALUE &&
                     WriteFile(handle, text, length, &written, nullptr) && written == length;
  if (wrote && !error) return;
  wchar_t wide[wideRoom * 4];
  if (!Widen(text, wide, wideRoom * 4)) return;
  MessageBoxW(
      nullptr, wide, error ? L"ERROR" : L"Trove",
      MB_OK | MB_TOPMOST | MB_SETFOREGROUND | (error ? MB_ICONEXCLAMATION : MB_ICONINFORMATION));
}

bool DataFolder(DataFolderKind, char* buffer, std::size_t size) {
  // The program folder holds the assets and the player alike: the executable's own folder.
  if (size == 0) return false;
  buffer[0] = '\0';
  wchar_t wide[wideRoom];
  const DWORD n = GetModuleFileNameW(nullptr, wide, wideRoom);
  if (n == 0 || n >= static_cast<DWORD>(wideRoom)) return false;
  wchar_t* separator = wcsrchr(wide, L'\\');
  if (!separator) return false;
  *separator = L'\0';
  return Narrow(wide, buffer, size);
}

namespace {

// The file TROVE_REPORT names, opened for appending on first use; INVALID_HANDLE_VALUE when the
// variable is unset or the file cannot be opened. The handle is not inherited.
HANDLE ReportFile() {
  static const HANDLE file = [] {
    wchar_t path[wideRoom];
    const DWORD n = GetEnvironmentVariableW(L"TROVE_REPORT", path, wideRoom);
    if (n == 0 || n >= wideRoom) return INVALID_HANDLE_VALUE;
    return CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  }();
  return file;
}

}  // namespace

bool ReportWanted() { return ReportFile() != INVALID_HANDLE_VALUE; }

void WriteReportLine(const char* line) {
  if (ReportFile() == INVALID_HANDLE_VALUE) return;
  char text[256];
  const int length = std::snprintf(text, sizeof text, "%s\n", line);
  if (length <= 0 || length >= static_cast<int>(sizeof text)) return;
  // One write straight to the file: the line is whole in it once WriteFile returns.
  DWORD written = 0;
  WriteFile(ReportFile(), text, static_cast<DWORD>(length), &written, nullptr);
}

void Pause(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

void ExitProgram(int exitCode) { ExitProcess(static_cast<UINT>(exitCode)); }

// ExitProcess would end the decoding threads wherever they are and then run every library's
// detach code, which may wait for a lock (the heap's, the loader's, the OLE loader's own) that
// one of them held: terminating the process runs no detach code. Streams are flushed first,
// as exit would.
void EndBesideDecodes(int exitCode) {
  std::fflush(nullptr);
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(exitCode));
  // Not reached: terminating the calling process does not return.
  ExitProcess(static_cast<UINT>(exitCode));
}

bool RunProgram(const char* file, const char* parameters) {
  wchar_t wideFile[wideRoom];
  wchar_t wideParameters[wideRoom * 3];
  if (!Widen(file, wideFile, wideRoom) ||
      !Widen(parameters ? parameters : "", wideParameters, wideRoom * 3)) {
    return false;
  }
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = 0;
  info.hwnd = MainWindowHandle();
  info.lpVerb = nullptr;
  info.lpFile = wideFile;
  info.lpParameters = parameters ? wideParameters : nullptr;
  info.lpDirectory = nullptr;
  info.nShow = SW_SHOWNORMAL;
  return ShellExecuteExW(&info) != FALSE;
}

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
