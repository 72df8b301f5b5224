// The Linux backend's window side: the X connection, the borderless GLX window, the event
// pump with XInput2's raw events on the root window (global keys and right clicks), the
// hidden cursor, the screen saver held off, window moves and window lookup by title.
#include <GL/glx.h>
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/Xrandr.h>
#include <fcntl.h>
#include <poll.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "display/window_events.h"
#include "input/input_events.h"
#include "platform/gl/gl_backend.h"
#include "platform/platform.h"
#include "platform/x11/x11_backend.h"
#include "platform/x11/x11_keys.h"

namespace {

// The window-system state of the main window.
struct WindowState {
  Display* display = nullptr;
  int screen = 0;
  Window root = 0;
  int inputOpcode = 0;  // XInput2's major opcode
  Window window = 0;
  Colormap colormap = 0;
  GLXContext context = nullptr;
  Atom deleteWindow = 0;
  Cursor blankCursor = 0;
  bool cursorHidden = false;
  std::time_t screenSaverReset = 0;
};

WindowState x;

// X errors arrive late and would end the program by default; a window that vanished while
// it was being looked up or moved is not a reason to stop.
int IgnoreError(Display*, XErrorEvent*) { return 0; }

Atom Intern(const char* name) { return XInternAtom(x.display, name, False); }

// The primary monitor's size through XRandR; false where there is no primary output.
bool PrimaryMonitorSize(int* width, int* height) {
  int eventBase = 0;
  int errorBase = 0;
  if (!XRRQueryExtension(x.display, &eventBase, &errorBase)) return false;
  RROutput primary = XRRGetOutputPrimary(x.display, x.root);
  if (primary == None) return false;
  XRRScreenResources* resources = XRRGetScreenResourcesCurrent(x.display, x.root);
  if (!resources) return false;
  bool found = false;
  if (XRROutputInfo* output = XRRGetOutputInfo(x.display, resources, primary)) {
    if (output->crtc != None) {
      if (XRRCrtcInfo* crtc = XRRGetCrtcInfo(x.display, resources, output->crtc)) {
        if (crtc->width > 0 && crtc->height > 0) {
          *width = static_cast<int>(crtc->width);
          *height = static_cast<int>(crtc->height);
          found = true;
        }
        XRRFreeCrtcInfo(crtc);
      }
    }
    XRRFreeOutputInfo(output);
  }
  XRRFreeScreenResources(resources);
  return found;
}

void ScreenSize(int* width, int* height) {
  Display* display = x11::Connection();
  if (!PrimaryMonitorSize(width, height)) {
    *width = DisplayWidth(display, x.screen);
    *height = DisplayHeight(display, x.screen);
  }
}

// The screen saver's idle timer is reset now and then while the program runs, as the Windows
// program refuses the screen saver and monitor power saving.
void HoldOffScreenSaver() {
  std::time_t now = std::time(nullptr);
  if (now - x.screenSaverReset >= 20 || now < x.screenSaverReset) {
    XResetScreenSaver(x.display);
    x.screenSaverReset = now;
  }
}

void HandleRawEvent(XGenericEventCookie* cookie) {
  if (!XGetEventData(x.display, cookie)) return;
  const auto* raw = static_cast<const XIRawEvent*>(cookie->data);
  if (cookie->evtype == XI_RawKeyPress) {
    // The key's first level: Shift held does not turn '[' into '{' or 't' into 'T'.
    KeySym keysym = XkbKeycodeToKeysym(x.display, static_cast<KeyCode>(raw->detail), 0, 0);
    int key = x11::KeyFromKeysym(keysym);
    if (key >= 0) KeyPressed(key);
  } else if (cookie->evtype == XI_RawButtonPress && raw->detail == 3) {
    RightButtonPressed();
  }
  XFreeEventData(x.display, cookie);
}

void HandleEvent(XEvent* event) {
  if (event->type == ClientMessage && event->xclient.window == x.window &&
      static_cast<Atom>(event->xclient.data.l[0]) == x.deleteWindow) {
    // The window stays; the main loop ends after its pass.
    WindowCloseRequested();
  } else if (event->type == GenericEvent && event->xcookie.extension == x.inputOpcode) {
    HandleRawEvent(&event->xcookie);
  }
}

// The window's title through the window manager's UTF-8 name, else WM_NAME.
bool HasTitle(Window window, const char* title, bool netName) {
  bool same = false;
  if (netName) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(x.display, window, Intern("_NET_WM_NAME"), 0, 1024, False,
                           Intern("UTF8_STRING"), &type, &format, &count, &after,
                           &data) == Success &&
        data) {
      same = format == 8 && std::string(reinterpret_cast<char*>(data), count) == title;
      XFree(data);
    }
    return same;
  }
  char* name = nullptr;
  if (XFetchName(x.display, window, &name) && name) {
    same = std::strcmp(name, title) == 0;
    XFree(name);
  }
  return same;
}

// A top-level window of that title in the window manager's client list.
Window FindInClientList(const char* title) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(x.display, x.root, Intern("_NET_CLIENT_LIST"), 0, 65536, False, XA_WINDOW,
                         &type, &format, &count, &after, &data) != Success ||
      !data) {
    return 0;
  }
  Window found = 0;
  if (format == 32) {
    const auto* windows = reinterpret_cast<const Window*>(data);
    for (unsigned long i = 0; i < count && !found; ++i) {
      if (HasTitle(windows[i], title, true) || HasTitle(windows[i], title, false)) {
        found = windows[i];
      }
    }
  }
  XFree(data);
  return found;
}

// Without a window manager's list: the first window of that WM_NAME under parent.
Window FindInTree(Window parent, const char* title, int depth) {
  Window rootReturn = 0;
  Window parentReturn = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(x.display, parent, &rootReturn, &parentReturn, &children, &count)) return 0;
  Window found = 0;
  for (unsigned int i = 0; i < count && !found; ++i) {
    if (HasTitle(children[i], title, false)) found = children[i];
  }
  // Window managers put client windows a few levels down, inside their frames.
  for (unsigned int i = 0; i < count && !found && depth < 4; ++i) {
    found = FindInTree(children[i], title, depth + 1);
  }
  if (children) XFree(children);
  return found;
}

void SetBorderless(Window window) {
  // Motif window-manager hints: the decorations flag set, no decorations.
  long hints[5] = {2, 0, 0, 0, 0};
  Atom motif = Intern("_MOTIF_WM_HINTS");
  XChangeProperty(x.display, window, motif, motif, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(hints), 5);
}

void SetNames(Window window, const char* title) {
  XStoreName(x.display, window, title);
  XChangeProperty(x.display, window, Intern("_NET_WM_NAME"), Intern("UTF8_STRING"), 8,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(title),
                  static_cast<int>(std::strlen(title)));
  char className[] = "OpenGL";
  XClassHint classHint = {className, className};
  XSetClassHint(x.display, window, &classHint);
}

void SetPlacement(Window window, int width, int height) {
  XSizeHints* size = XAllocSizeHints();
  if (!size) return;
  size->flags = USPosition | PPosition | PMinSize | PMaxSize;
  size->x = 0;
  size->y = 0;
  size->min_width = size->max_width = width;
  size->min_height = size->max_height = height;
  XSetWMNormalHints(x.display, window, size);
  XFree(size);
}

// Waits up to a second for the window to be mapped, so that it can take the focus.
bool WaitMapped(Window window) {
  for (int i = 0; i < 100; ++i) {
    XEvent event;
    if (XCheckTypedWindowEvent(x.display, window, MapNotify, &event)) return true;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(x.display, window, &attributes) &&
        attributes.map_state == IsViewable) {
      return true;
    }
    struct timespec tick = {0, 10 * 1000 * 1000};
    nanosleep(&tick, nullptr);
  }
  return false;
}

Cursor BlankCursor() {
  if (!x.blankCursor) {
    char empty[8] = {};
    Pixmap bitmap = XCreateBitmapFromData(x.display, x.root, empty, 8, 8);
    XColor black = {};
    x.blankCursor = XCreatePixmapCursor(x.display, bitmap, bitmap, &black, &black, 0, 0);
    XFreePixmap(x.display, bitmap);
  }
  return x.blankCursor;
}

// Adds one raw event to those selected on the root window, where they reach Trove whichever
// window has the focus.
bool SelectRawEvent(int event) {
  static unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
  XISetMask(bits, event);
  XIEventMask mask = {XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
  bool selected = XISelectEvents(x11::Connection(), x.root, &mask, 1) == Success;
  XFlush(x.display);
  return selected;
}

void StartUpFailure(const char* text) {
  platform::ShowMessageBox(text, "ERROR", platform::MessageIcon::exclamation);
  platform::ExitProgram(1);
}

}  // namespace

namespace x11 {

Display* OpenConnection() { return x.display; }

Display* Connection() {
  if (x.display) return x.display;
  x.display = XOpenDisplay(nullptr);
  if (!x.display) {
    std::fprintf(stderr, "Trove cannot open the X display \"%s\".\n", XDisplayName(nullptr));
    platform::ExitProgram(1);
  }
  // Programs Trove starts do not inherit the connection.
  fcntl(ConnectionNumber(x.display), F_SETFD, FD_CLOEXEC);
  XSetErrorHandler(IgnoreError);
  x.screen = DefaultScreen(x.display);
  x.root = RootWindow(x.display, x.screen);

  int eventBase = 0;
  int errorBase = 0;
  int major = 2;
  int minor = 0;
  if (!XQueryExtension(x.display, "XInputExtension", &x.inputOpcode, &eventBase, &errorBase) ||
      XIQueryVersion(x.display, &major, &minor) != Success) {
    StartUpFailure(
        "The X server lacks the XInput2 extension, which Trove needs to receive its keys and "
        "right clicks while another program has the focus.");
  }
  return x.display;
}

Window MainWindow() { return x.window; }

}  // namespace x11

namespace platform {

int ScreenWidth() {
  int width = 0;
  int height = 0;
  ScreenSize(&width, &height);
  return width;
}

int ScreenHeight() {
  int width = 0;
  int height = 0;
  ScreenSize(&width, &height);
  return height;
}

WindowFailure CreateGlWindow(const char* title, int width, int height, int) {
  Display* display = x11::Connection();
  // Double-buffered RGBA with a depth buffer; the deepest colour the server offers is taken.
  int attributes[] = {
      GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1,   GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE,
      1,        GLX_DEPTH_SIZE,   16,           None};
  XVisualInfo* visual = glXChooseVisual(display, x.screen, attributes);
  if (!visual) return WindowFailure::choosePixelFormat;

  x.colormap = XCreateColormap(display, x.root, visual->visual, AllocNone);
  XSetWindowAttributes windowAttributes = {};
  windowAttributes.colormap = x.colormap;
  windowAttributes.background_pixel = BlackPixel(display, x.screen);
  windowAttributes.border_pixel = 0;
  windowAttributes.event_mask = StructureNotifyMask | ExposureMask;
  x.window =
      XCreateWindow(display, x.root, 0, 0, static_cast<unsigned>(width),
                    static_cast<unsigned>(height), 0, visual->depth, InputOutput, visual->visual,
                    CWColormap | CWBackPixel | CWBorderPixel | CWEventMask, &windowAttributes);
  if (!x.window) {
    XFree(visual);
    return WindowFailure::createWindow;
  }
  SetNames(x.window, title);
  SetBorderless(x.window);
  SetPlacement(x.window, width, height);
  x.deleteWindow = Intern("WM_DELETE_WINDOW");
  XSetWMProtocols(display, x.window, &x.deleteWindow, 1);

  x.context = glXCreateContext(display, visual, nullptr, True);
  XFree(visual);
  if (!x.context) return WindowFailure::createContext;
  if (!glXMakeCurrent(display, x.window, x.context)) return WindowFailure::activateContext;

  XMapRaised(display, x.window);
  if (WaitMapped(x.window)) XSetInputFocus(display, x.window, RevertToParent, CurrentTime);
  XSync(display, False);
  return WindowFailure::none;
}

unsigned ReleaseGlWindow() {
  unsigned failed = 0;
  Display* display = x11::OpenConnection();
  if (!display) return failed;
  if (x.context) {
    if (!glXMakeCurrent(display, None, nullptr)) failed |= releaseContextCurrent;
    glXDestroyContext(display, x.context);
    x.context = nullptr;
  }
  if (x.window) {
    XDestroyWindow(display, x.window);
    x.window = 0;
  }
  if (x.colormap) {
    XFreeColormap(display, x.colormap);
    x.colormap = 0;
  }
  XSync(display, False);
  return failed;
}

void HideSystemCursor() {
  x.cursorHidden = true;
  if (x.display && x.window) XDefineCursor(x.display, x.window, BlankCursor());
}

bool PumpOneMessage() {
  if (!x.display) return false;
  HoldOffScreenSaver();
  if (!XPending(x.display)) return false;
  XEvent event;
  XNextEvent(x.display, &event);
  HandleEvent(&event);
  return true;
}

void WaitForInput(int timeoutMs) {
  // Raw input and window events both arrive on the connection: sleep until it has something to
  // read or the time is up.
  if (!x.display) return;
  XFlush(x.display);
  if (XPending(x.display)) return;
  pollfd connection = {ConnectionNumber(x.display), POLLIN, 0};
  poll(&connection, 1, timeoutMs);
}

void MoveMainWindow(int left, int top, int width, int height) {
  if (!x.display || !x.window || width <= 0 || height <= 0) return;
  XMoveResizeWindow(x.display, x.window, left, top, static_cast<unsigned>(width),
                    static_cast<unsigned>(height));
  XFlush(x.display);
}

ScreenPoint CursorPosition() {
  Display* display = x11::Connection();
  Window rootReturn = 0;
  Window child = 0;
  int rootX = 0;
  int rootY = 0;
  int windowX = 0;
  int windowY = 0;
  unsigned int mask = 0;
  XQueryPointer(display, x.root, &rootReturn, &child, &rootX, &rootY, &windowX, &windowY, &mask);
  return {rootX, rootY};
}

ScreenRect MainWindowRect() {
  if (!x.display || !x.window) return {};
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(x.display, x.window, &attributes)) return {};
  int left = 0;
  int top = 0;
  Window child = 0;
  XTranslateCoordinates(x.display, x.window, x.root, 0, 0, &left, &top, &child);
  return {left, top, left + attributes.width, top + attributes.height};
}

bool MoveWindowByTitle(const char* title, int left, int top, int width, int height) {
  Display* display = x11::Connection();
  Window window = FindInClientList(title);
  if (!window) window = FindInTree(x.root, title, 0);
  if (!window || width <= 0 || height <= 0) return false;
  XMoveResizeWindow(display, window, left, top, static_cast<unsigned>(width),
                    static_cast<unsigned>(height));
  XFlush(display);
  return true;
}

bool InstallMouseHook() { return SelectRawEvent(XI_RawButtonPress); }

bool InstallKeyboardHook() { return SelectRawEvent(XI_RawKeyPress); }

void SwapMainWindowBuffers() {
  if (x.display && x.window) glXSwapBuffers(x.display, x.window);
}

}  // namespace platform
