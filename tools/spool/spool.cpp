// A stand-in for the external video and audio player: it opens a movable window with the
// player's title that shows which file it was asked to play. When SPOOL_LOG names a file it
// appends the parameter line it received to that file, one line per start; it writes nothing
// else. The line is written as UTF-8.
#include <windows.h>

#include <string>
#include <string_view>

#include "spool_args.h"

namespace {

constexpr const char* windowTitle = "Spool video and audio player";
constexpr const char* windowClass = "SpoolPlayerWindow";
constexpr int windowSize = 600;
constexpr int captionHeight = 24;

std::string shownText;

// The command line as UTF-8: names outside the system's code page arrive whole.
std::string CommandLineUtf8() {
  const wchar_t* wide = GetCommandLineW();
  int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string text(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), bytes, nullptr, nullptr);
  text.pop_back();
  return text;
}

bool MediaAttributes(const std::string& path, WIN32_FILE_ATTRIBUTE_DATA* data) {
  int units = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
  if (units <= 0) return false;
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), units);
  return GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, data) != FALSE;
}

void AppendToLog(std::string_view parameterLine) {
  char name[MAX_PATH * 4];
  DWORD length = GetEnvironmentVariableA("SPOOL_LOG", name, sizeof name);
  if (length == 0 || length >= sizeof name) return;
  HANDLE file = CreateFileA(name, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  std::string line(parameterLine);
  line += '\n';
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

// What the window says about the request.
std::string Describe(std::string_view parameterLine) {
  spool::PlayRequest request = spool::ParsePlayRequest(parameterLine);
  if (!request.wellFormed) {
    return "The parameter line is malformed:\r\n\r\n\"" + std::string(parameterLine) +
           "\"\r\n\r\nExpected: rightful <media path, spaces written as *> <number>";
  }
  std::string text;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!MediaAttributes(request.mediaPath, &data)) {
    text = "The media file cannot be found:\r\n\r\n" + request.mediaPath;
  } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    text = "This is a folder, not a media file:\r\n\r\n" + request.mediaPath;
  } else {
    unsigned long long size =
        (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    text = "Playing " + std::string(spool::FileName(request.mediaPath)) +
           "\r\n\r\nSize: " + std::to_string(size) + " bytes\r\n\r\nPath: " + request.mediaPath;
  }
  return text + "\r\n\r\nNumber: " + std::to_string(request.number);
}

void Paint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  HBRUSH background = CreateSolidBrush(RGB(24, 24, 32));
  FillRect(dc, &client, background);
  DeleteObject(background);

  // A drawn caption strip with the title and a close box: the window is borderless so that
  // its size on screen is exactly what the browser asked for, and it is dragged by the strip.
  RECT caption = {0, 0, client.right, captionHeight};
  HBRUSH strip = CreateSolidBrush(RGB(60, 60, 90));
  FillRect(dc, &caption, strip);
  DeleteObject(strip);

  // A screen-like panel below the caption, the request's description below it.
  RECT screen = {16, captionHeight + 16, client.right - 16, client.bottom / 2};
  HBRUSH panel = CreateSolidBrush(RGB(0, 0, 0));
  FillRect(dc, &screen, panel);
  DeleteObject(panel);

  HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(120, 200, 255));
  DrawTextA(dc, "SPOOL", -1, &screen, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);

  SetTextColor(dc, RGB(255, 255, 255));
  RECT titleBox = {8, 0, client.right - captionHeight, captionHeight};
  DrawTextA(dc, windowTitle, -1, &titleBox, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  RECT closeBox = {client.right - captionHeight, 0, client.right, captionHeight};
  DrawTextA(dc, "X", -1, &closeBox, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);

  RECT body = {16, client.bottom / 2 + 16, client.right - 16, client.bottom - 16};
  SetTextColor(dc, RGB(230, 230, 230));
  DrawTextA(dc, shownText.c_str(), static_cast<int>(shownText.size()), &body,
            DT_LEFT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
  SelectObject(dc, oldFont);
  EndPaint(window, &paint);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint(window);
      return 0;
    case WM_NCHITTEST: {
      // The caption strip moves the window; its close box closes it.
      POINT p = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      ScreenToClient(window, &p);
      RECT client;
      GetClientRect(window, &client);
      if (p.y >= 0 && p.y < captionHeight) {
        return p.x >= client.right - captionHeight ? HTCLIENT : HTCAPTION;
      }
      return HTCLIENT;
    }
    case WM_LBUTTONDOWN: {
      RECT client;
      GetClientRect(window, &client);
      int x = static_cast<short>(LOWORD(lParam));
      int y = static_cast<short>(HIWORD(lParam));
      if (y < captionHeight && x >= client.right - captionHeight) DestroyWindow(window);
      return 0;
    }
    case WM_SIZE:
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  const std::string commandLine = CommandLineUtf8();
  std::string_view parameterLine = spool::ParameterLine(commandLine.c_str());
  AppendToLog(parameterLine);
  shownText = Describe(parameterLine);

  WNDCLASSA windowClassInfo = {};
  windowClassInfo.style = CS_HREDRAW | CS_VREDRAW;
  windowClassInfo.lpfnWndProc = WindowProc;
  windowClassInfo.hInstance = instance;
  windowClassInfo.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClassInfo.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  windowClassInfo.lpszClassName = windowClass;
  if (!RegisterClassA(&windowClassInfo)) return 1;

  HWND window =
      CreateWindowExA(WS_EX_APPWINDOW, windowClass, windowTitle, WS_POPUP | WS_SYSMENU, 100, 100,
                      windowSize, windowSize, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, showCommand);
  UpdateWindow(window);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}
