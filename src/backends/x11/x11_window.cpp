// The Linux backend's main window: the borderless GLX window, the event pump, the hidden
// cursor, the screen saver held off, the window's moves and the cursor's position.
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <cstring>
#include <ctime>

#include "display/window_events.h"
#include "backends/gl/gl_backend.h"
#include "platform/platform.h"
#include "backends/x11/x11_backend.h"
#include "backends/x11/x11_connection.h"
#include "backends/x11/x11_geometry.h"

namespace {

using platform::WindowFailure;

// The main window's part of the backend's state.
x11::MainWindow& Main() { return x11::State().main; }

Display* TheDisplay() { return x11::Server().display; }

// The screen saver's idle timer is reset now and then while the program runs, as the Windows
// program refuses the screen saver and monitor power saving.
void HoldOffScreenSaver() {
  std::time_t now = std::time(nullptr);
  if (now - Main().screenSaverReset >= 20 || now < Main().screenSaverReset) {
    XResetScreenSaver(TheDisplay());
    Main().screenSaverReset = now;
  }
}

void HandleEvent(XEvent* event, Input& input, WindowRequests& window) {
  if (event->type == ClientMessage && event->xclient.window == Main().window &&
      static_cast<Atom>(event->xclient.data.l[0]) == x11::Server().atoms.deleteWindow) {
    // The window stays; the main loop ends after its pass.
    WindowCloseRequested(window);
  } else if (event->type == ConfigureNotify && event->xconfigure.window == Main().window) {
    const XConfigureEvent& c = event->xconfigure;
    // A window manager's own ConfigureNotify is on the root window's coordinates.
    bool onRoot = c.send_event || Main().parent == x11::Server().root;
    Main().geometry.Configured(c.x + c.border_width, c.y + c.border_width, onRoot, c.width,
                               c.height, c.serial);
  } else if (event->type == ReparentNotify && event->xreparent.window == Main().window) {
    Main().parent = event->xreparent.parent;
  } else if (!x11::HandleWindowInput(event, Main().window, input)) {
    x11::HandleRawEvent(event, input);
  }
}

void SetBorderless(Window window) {
  // Motif window-manager hints: the decorations flag set, no decorations.
  long hints[5] = {2, 0, 0, 0, 0};
  Atom motif = x11::Server().atoms.motifWmHints;
  XChangeProperty(TheDisplay(), window, motif, motif, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(hints), 5);
}

void SetNames(Window window, const char* title) {
  const x11::Connection& server = x11::Server();
  XStoreName(server.display, window, title);
  XChangeProperty(server.display, window, server.atoms.netWmName, server.atoms.utf8String, 8,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(title),
                  static_cast<int>(std::strlen(title)));
  char className[] = "OpenGL";
  XClassHint classHint = {className, className};
  XSetClassHint(server.display, window, &classHint);
}

void SetPlacement(Window window, int width, int height) {
  XSizeHints* size = XAllocSizeHints();
  if (!size) return;
  size->flags = USPosition | PPosition | PMinSize | PMaxSize;
  size->x = 0;
  size->y = 0;
  size->min_width = size->max_width = width;
  size->min_height = size->max_height = height;
  XSetWMNormalHints(TheDisplay(), window, size);
  XFree(size);
}

// Waits up to a second for the window to be mapped, so that it can take the focus.
bool WaitMapped(Window window) {
  Display* display = TheDisplay();
  for (int i = 0; i < 100; ++i) {
    XEvent event;
    if (XCheckTypedWindowEvent(display, window, MapNotify, &event)) return true;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable) {
      return true;
    }
    struct timespec tick = {0, 10 * 1000 * 1000};
    nanosleep(&tick, nullptr);
  }
  return false;
}

Cursor BlankCursor() {
  if (!Main().blankCursor) {
    Display* display = TheDisplay();
    char empty[8] = {};
    Pixmap bitmap = XCreateBitmapFromData(display, x11::Server().root, empty, 8, 8);
    XColor black = {};
    Main().blankCursor = XCreatePixmapCursor(display, bitmap, bitmap, &black, &black, 0, 0);
    XFreePixmap(display, bitmap);
  }
  return Main().blankCursor;
}

// Makes the main window for the visual, named, borderless and placed, its close request
// asked for; none when the server refuses it.
WindowFailure CreateMainWindow(XVisualInfo* visual, const char* title, int width, int height) {
  const x11::Connection& server = x11::Server();
  Display* display = server.display;
  XSetWindowAttributes windowAttributes = {};
  windowAttributes.background_pixel = BlackPixel(display, server.screen);
  windowAttributes.border_pixel = 0;
  windowAttributes.event_mask = StructureNotifyMask | ExposureMask | x11::WindowInputMask();
  {
    // The server refuses a window it has no room for, or a visual it cannot show, only when
    // the requests arrive; the trap waits for that answer.
    x11::ErrorTrap trap;
    Main().colormap = XCreateColormap(display, server.root, visual->visual, AllocNone);
    windowAttributes.colormap = Main().colormap;
    Main().geometry.Requested(0, 0, width, height, NextRequest(display));
    Main().parent = server.root;
    Main().window =
        XCreateWindow(display, server.root, 0, 0, static_cast<unsigned>(width),
                      static_cast<unsigned>(height), 0, visual->depth, InputOutput, visual->visual,
                      CWColormap | CWBackPixel | CWBorderPixel | CWEventMask, &windowAttributes);
    if (trap.Failed()) {
      // Whichever of the two was made goes again at once; the other's id names nothing.
      XDestroyWindow(display, Main().window);
      XFreeColormap(display, Main().colormap);
      Main().window = 0;
      Main().colormap = 0;
      return WindowFailure::createWindow;
    }
  }
  SetNames(Main().window, title);
  SetBorderless(Main().window);
  SetPlacement(Main().window, width, height);
  Atom deleteWindow = server.atoms.deleteWindow;
  XSetWMProtocols(display, Main().window, &deleteWindow, 1);
  return WindowFailure::none;
}

// Makes a GL context for the visual and makes it current in the main window.
WindowFailure CreateContext(XVisualInfo* visual) {
  Display* display = TheDisplay();
  {
    x11::ErrorTrap trap;
    Main().context = glXCreateContext(display, visual, nullptr, True);
    if (Main().context && trap.Failed()) {
      // The server did not make its side of the context.
      glXDestroyContext(display, Main().context);
      Main().context = nullptr;
    }
  }
  if (!Main().context) return WindowFailure::createContext;
  x11::ErrorTrap trap;
  if (!glXMakeCurrent(display, Main().window, Main().context) || trap.Failed()) {
    return WindowFailure::activateContext;
  }
  return WindowFailure::none;
}

}  // namespace

namespace platform {

// The colour depth is not asked for: the deepest colour the server offers is taken.
WindowFailure CreateGlWindow(const char* title, int width, int height, int) {
  const x11::Connection& server = x11::Server();
  Display* display = server.display;
  // Double-buffered RGBA. No depth buffer: the only drawing is the frame's blit, which every
  // depth test passes, so one would only cost a window's worth of memory and a test per pixel.
  int attributes[] = {
      GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE, 1, None};
  XVisualInfo* visual = glXChooseVisual(display, server.screen, attributes);
  if (!visual) return WindowFailure::findPixelFormat;
  WindowFailure failure = CreateMainWindow(visual, title, width, height);
  if (failure == WindowFailure::none) failure = CreateContext(visual);
  XFree(visual);
  if (failure != WindowFailure::none) return failure;

  XMapRaised(display, Main().window);
  // A focus the server refuses is no failure: the window is shown all the same.
  x11::ErrorTrap focusTrap;
  if (WaitMapped(Main().window))
    XSetInputFocus(display, Main().window, RevertToParent, CurrentTime);
  XSync(display, False);
  return WindowFailure::none;
}

unsigned ReleaseGlWindow() {
  unsigned failed = 0;
  Display* display = TheDisplay();
  if (!display) return failed;
  if (Main().context) {
    if (!glXMakeCurrent(display, None, nullptr)) failed |= releaseContextCurrent;
    glXDestroyContext(display, Main().context);
    Main().context = nullptr;
  }
  if (Main().window) {
    XDestroyWindow(display, Main().window);
    Main().window = 0;
  }
  if (Main().colormap) {
    XFreeColormap(display, Main().colormap);
    Main().colormap = 0;
  }
  XSync(display, False);
  return failed;
}

void HideSystemCursor() {
  if (Main().window) XDefineCursor(TheDisplay(), Main().window, BlankCursor());
}

bool PumpOneMessage(Input& input, WindowRequests& window) {
  Display* display = TheDisplay();
  HoldOffScreenSaver();
  x11::RepeatHeldKey(input);
  if (!XPending(display)) return false;
  XEvent event;
  XNextEvent(display, &event);
  HandleEvent(&event, input, window);
  return true;
}

void WaitForInput(int timeoutMs) {
  // Raw input and window events both arrive on the connection: sleep until it has something to
  // read or the time is up.
  Display* display = TheDisplay();
  XFlush(display);
  if (XPending(display)) return;
  // A held key's next repeat ends the rest as input would.
  const int repeatMs = x11::MsUntilRepeat();
  if (repeatMs >= 0 && (timeoutMs < 0 || repeatMs < timeoutMs)) timeoutMs = repeatMs;
  pollfd connection = {ConnectionNumber(display), POLLIN, 0};
  poll(&connection, 1, timeoutMs);
}

void MoveMainWindow(int left, int top, int width, int height) {
  if (!Main().window || width <= 0 || height <= 0) return;
  Display* display = TheDisplay();
  Main().geometry.Requested(left, top, width, height, NextRequest(display));
  XMoveResizeWindow(display, Main().window, left, top, static_cast<unsigned>(width),
                    static_cast<unsigned>(height));
  XFlush(display);
}

// One query answers both halves of mapping the cursor onto the window: the cursor's place on
// the screen, and through its place in the window where the window is now, whatever frame a
// window manager put around it.
ScreenPoint CursorPosition() {
  Display* display = TheDisplay();
  Window reference = Main().window ? Main().window : x11::Server().root;
  const unsigned long serial = NextRequest(display);
  Window rootReturn = 0;
  Window child = 0;
  int rootX = 0;
  int rootY = 0;
  int windowX = 0;
  int windowY = 0;
  unsigned int mask = 0;
  bool sameScreen = XQueryPointer(display, reference, &rootReturn, &child, &rootX, &rootY, &windowX,
                                  &windowY, &mask);
  if (Main().window && sameScreen) Main().geometry.Seen(rootX - windowX, rootY - windowY, serial);
  return {rootX, rootY};
}

// From what the backend knows already: no round trip.
ScreenRect MainWindowRect() {
  if (!Main().window) return {};
  return Main().geometry.Rect();
}

}  // namespace platform

void gl::SwapMainWindowBuffers() {
  if (Main().window) glXSwapBuffers(TheDisplay(), Main().window);
}
