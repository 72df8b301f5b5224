// The Windows backend's window side: the borderless GL window, its window procedure, the pump
// step over the thread's messages, message boxes, the cursor and window moves.
#include <windows.h>

#include "display/window_events.h"
#include "backends/gl/gl_backend.h"
#include "platform/platform.h"
#include "backends/win32/win32_backend.h"

namespace {

using platform::WindowFailure;

constexpr const char* windowClassName = "OpenGL";

// The backend's one state object.
win32::Backend backend;

// The main window's part of it.
win32::MainWindow& Main() { return backend.main; }

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      return 0;
    case WM_SYSCOMMAND:
      // Neither the screen saver nor monitor power saving while the window is active.
      if ((wParam & 0xFFF0) == SC_SCREENSAVE || (wParam & 0xFFF0) == SC_MONITORPOWER) {
        return 0;
      }
      break;
    case WM_CLOSE:
      // The window stays; the main loop ends after its pass. The requests to raise are the
      // ones the last pump step was handed, kept in the window's user data.
      if (auto* requests =
              reinterpret_cast<WindowRequests*>(GetWindowLongPtrA(window, GWLP_USERDATA))) {
        WindowCloseRequested(*requests);
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// Registers the window class and makes the borderless window at (0, 0) with the given client
// size, not shown yet.
WindowFailure CreateMainWindow(const char* title, int width, int height) {
  RECT rect = {0, 0, width, height};
  Main().instance = GetModuleHandleA(nullptr);

  WNDCLASSA windowClass = {};
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = Main().instance;
  windowClass.hIcon = LoadIcon(nullptr, IDI_WINLOGO);
  windowClass.hCursor = LoadCursor(nullptr, IDC_CROSS);
  windowClass.lpszClassName = windowClassName;
  if (!RegisterClassA(&windowClass)) return WindowFailure::registerWindowKind;

  DWORD exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
  DWORD style = WS_POPUP;
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);

  Main().window = CreateWindowExA(
      exStyle, windowClassName, title, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
      rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, Main().instance, nullptr);
  if (!Main().window) return WindowFailure::createWindow;
  return WindowFailure::none;
}

// The window's device context with its pixel format, and a GL context made current in it.
WindowFailure CreateContext(int colourDepth) {
  Main().deviceContext = GetDC(Main().window);
  if (!Main().deviceContext) return WindowFailure::getDrawingSurface;

  PIXELFORMATDESCRIPTOR format = {};
  format.nSize = sizeof(PIXELFORMATDESCRIPTOR);
  format.nVersion = 1;
  format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  format.iPixelType = PFD_TYPE_RGBA;
  format.cColorBits = static_cast<BYTE>(colourDepth);
  format.cDepthBits = 16;
  format.iLayerType = PFD_MAIN_PLANE;
  int pixelFormat = ChoosePixelFormat(Main().deviceContext, &format);
  if (pixelFormat == 0) return WindowFailure::findPixelFormat;
  if (!SetPixelFormat(Main().deviceContext, pixelFormat, &format)) {
    return WindowFailure::applyPixelFormat;
  }

  Main().renderingContext = wglCreateContext(Main().deviceContext);
  if (!Main().renderingContext) return WindowFailure::createContext;
  if (!wglMakeCurrent(Main().deviceContext, Main().renderingContext)) {
    return WindowFailure::activateContext;
  }

  // One swap per display refresh where the driver lets us ask for it.
  using SwapInterval = BOOL(WINAPI*)(int);
  if (auto setInterval = reinterpret_cast<SwapInterval>(
          reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")))) {
    setInterval(1);
  }
  return WindowFailure::none;
}

}  // namespace

namespace platform {

int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }
int DisplayScale() { return 1; }

WindowFailure CreateGlWindow(const char* title, int width, int height, int colourDepth) {
  WindowFailure failure = CreateMainWindow(title, width, height);
  if (failure == WindowFailure::none) failure = CreateContext(colourDepth);
  if (failure != WindowFailure::none) return failure;
  ShowWindow(Main().window, SW_SHOW);
  SetForegroundWindow(Main().window);
  SetFocus(Main().window);
  return WindowFailure::none;
}

unsigned ReleaseGlWindow() {
  unsigned failed = 0;
  if (Main().renderingContext) {
    if (!wglMakeCurrent(nullptr, nullptr)) failed |= releaseContextCurrent;
    if (!wglDeleteContext(Main().renderingContext)) failed |= releaseContextDelete;
    Main().renderingContext = nullptr;
  }
  // Handles are cleared whether or not their release succeeded, so that a later release
  // never acts on a stale handle.
  if (Main().deviceContext) {
    if (!ReleaseDC(Main().window, Main().deviceContext)) failed |= releaseDrawingSurface;
    Main().deviceContext = nullptr;
  }
  if (Main().window) {
    if (!DestroyWindow(Main().window)) failed |= releaseWindow;
    Main().window = nullptr;
  }
  if (Main().instance) {
    if (!UnregisterClassA(windowClassName, Main().instance)) failed |= releaseWindowKind;
    Main().instance = nullptr;
  }
  return failed;
}

// Above every other window: a box shown while the program runs must not hide behind its
// full-screen window.
void ShowMessageBox(const char* text, const char* caption, MessageIcon icon) {
  MessageBoxA(nullptr, text, caption,
              MB_OK | MB_TOPMOST | MB_SETFOREGROUND |
                  (icon == MessageIcon::exclamation ? MB_ICONEXCLAMATION : MB_ICONINFORMATION));
}

void HideSystemCursor() { ShowCursor(FALSE); }

bool PumpOneMessage(Input& input, WindowRequests& window) {
  // Input the hook thread noted is latched here, in the pump step, as the hooks latched it
  // when they ran on this thread.
  win32::DeliverNotedInput(input);
  if (Main().window)
    SetWindowLongPtrA(Main().window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&window));
  if (!PeekMessageA(&Main().message, nullptr, 0, 0, PM_REMOVE)) return false;
  // A quit message is dispatched like any other; only Escape or a close request end the loop.
  TranslateMessage(&Main().message);
  DispatchMessageA(&Main().message);
  return true;
}

// At most one refresh of the primary display: its rate as the driver reports it, 60 Hz when
// it reports none.
void WaitForInput(int timeoutMs) {
  static const int refreshMs = [] {
    HDC screen = GetDC(nullptr);
    const int hertz = screen ? GetDeviceCaps(screen, VREFRESH) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return hertz > 1 ? 1000 / hertz : 16;
  }();
  const int wait = timeoutMs < refreshMs ? timeoutMs : refreshMs;
  if (wait <= 0) return;
  // Posted and sent messages, input and the hooks noting input all end the wait.
  HANDLE noted = win32::InputNotedEvent();
  MsgWaitForMultipleObjectsEx(noted ? 1 : 0, noted ? &noted : nullptr, static_cast<DWORD>(wait),
                              QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void MoveMainWindow(int x, int y, int width, int height) {
  if (Main().window) MoveWindow(Main().window, x, y, width, height, TRUE);
}

ScreenPoint CursorPosition() {
  POINT p = {};
  GetCursorPos(&p);
  return {static_cast<int>(p.x), static_cast<int>(p.y)};
}

ScreenRect MainWindowRect() {
  RECT r = {};
  if (!Main().window || !GetWindowRect(Main().window, &r)) return {};
  return {static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right),
          static_cast<int>(r.bottom)};
}

bool MovePlayerWindow(const char* title, int x, int y, int width, int height) {
  HWND window = FindWindowA(nullptr, title);
  if (!window) return false;
  MoveWindow(window, x, y, width, height, TRUE);
  return true;
}

}  // namespace platform

void gl::SwapMainWindowBuffers() {
  if (Main().deviceContext) SwapBuffers(Main().deviceContext);
}

namespace win32 {

Backend& State() { return backend; }

HWND MainWindowHandle() { return Main().window; }

}  // namespace win32
