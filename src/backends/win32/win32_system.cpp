// The Windows backend's system side: the command line's texts, the program's own folder, the
// report file, pauses, process exit and shell execution, and the conversions between the seam's
// UTF-8 and the wide-character API, so that programs are started and texts shown by what the
// system really holds.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

#include "platform/platform.h"
#include "backends/win32/win32_backend.h"
#include "backends/win32/win32_conventions.h"

namespace win32 {

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

}  // namespace win32

namespace platform {

using win32::Narrow;
using win32::Widen;
using win32::wideRoom;

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

bool RunProgram(const char* file, const char* const* words, std::size_t wordCount) {
  const std::string line = win32::ParameterLine(words, wordCount);
  wchar_t wideFile[wideRoom];
  wchar_t wideParameters[wideRoom * 3];
  if (!Widen(file, wideFile, wideRoom) || !Widen(line.c_str(), wideParameters, wideRoom * 3)) {
    return false;
  }
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = 0;
  info.hwnd = win32::MainWindowHandle();
  info.lpVerb = nullptr;
  info.lpFile = wideFile;
  info.lpParameters = wideParameters;
  info.lpDirectory = nullptr;
  info.nShow = SW_SHOWNORMAL;
  return ShellExecuteExW(&info) != FALSE;
}

}  // namespace platform
