// The Windows program's entry point.
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "backends/win32/win32_backend.h"
#include "shell/trove_main.h"

namespace {

// The words after the program's name, UTF-8, from the command line as the system holds it
// (UTF-16): a folder or picture named outside the code page, dropped on trove.exe, arrives
// whole.
std::vector<std::string> CommandLineWords() {
  std::vector<std::string> words;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return words;
  for (int i = 1; i < count; ++i) {
    std::string word(std::wcslen(wide[i]) * 3 + 1, '\0');
    win32::Narrow(wide[i], word.data(), word.size());
    word.resize(std::char_traits<char>::length(word.c_str()));
    words.push_back(word);
  }
  LocalFree(wide);
  return words;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const std::vector<std::string> words = CommandLineWords();
  std::vector<const char*> pointers;
  for (const std::string& word : words) pointers.push_back(word.c_str());
  // --help, --version, a refused word or a start folder that cannot be browsed end the
  // program here, before any window.
  std::string startFile;
  if (const std::optional<int> exitCode =
          ReadCommandLine(static_cast<int>(pointers.size()), pointers.data(), startFile)) {
    return *exitCode;
  }
  // The picture loader works through OLE, which needs COM on this thread.
  OleInitialize(nullptr);
  return TroveMain(startFile);
}
