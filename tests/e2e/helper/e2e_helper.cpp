// A small Windows program the end-to-end tests run beside Trove under Wine:
//   e2e_helper close          asks Trove's window to close (WM_CLOSE)
//   e2e_helper close TITLE    asks the top-level window titled TITLE to close
//   e2e_helper window TITLE   opens a focused window of another program until it is closed
//   e2e_helper list DIR OUT   writes the names FindFirstFileW/FindNextFileW give for DIR\*.*
//                             to the file OUT as UTF-8, one a line, in their order
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

LRESULT CALLBACK OtherWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int OpenOtherWindow(const char* title) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = OtherWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = "TroveE2EOther";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, "TroveE2EOther", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 700,
                                500, 300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
  SetForegroundWindow(window);
  SetFocus(window);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}

int ListDirectory() {
  // DIR and OUT are the third and fourth words of the wide command line: DIR may be any name.
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!words || count < 4) return 2;
  std::wstring widePattern = std::wstring(words[2]) + L"\\*.*";
  FILE* out = _wfopen(words[3], L"wb");
  LocalFree(words);
  if (!out) return 3;
  // The names the file system holds, as UTF-8, the way Trove receives them.
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW(widePattern.c_str(), &data);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      char name[MAX_PATH * 3];
      if (WideCharToMultiByte(CP_UTF8, 0, data.cFileName, -1, name, sizeof name, nullptr, nullptr) >
          0) {
        std::fprintf(out, "%s\n", name);
      }
    } while (FindNextFileW(search, &data));
    FindClose(search);
  }
  std::fclose(out);
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  if (std::strncmp(commandLine, "close ", 6) == 0) {
    // Wine quotes an argument with spaces; the title is what lies between the quotes.
    std::string title(commandLine + 6);
    if (title.size() >= 2 && title.front() == '"' && title.back() == '"') {
      title = title.substr(1, title.size() - 2);
    }
    HWND window = FindWindowA(nullptr, title.c_str());
    return window && PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
  }
  if (std::strncmp(commandLine, "close", 5) == 0) {
    HWND window = FindWindowA("OpenGL", "GAME");
    return window && PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
  }
  if (std::strncmp(commandLine, "window ", 7) == 0) {
    return OpenOtherWindow(commandLine + 7);
  }
  if (std::strncmp(commandLine, "list ", 5) == 0) {
    return ListDirectory();
  }
  return 2;
}
