// The Linux backend's search for the player's window by its title, through the window
// manager's client list or, without one, the window tree, and the move that places it.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>
#include <string>

#include "platform/platform.h"
#include "platform/x11/x11_connection.h"

namespace {

// The window's title through the window manager's UTF-8 name, else WM_NAME.
bool HasTitle(Window window, const char* title, bool netName) {
  const x11::Connection& server = x11::Server();
  bool same = false;
  if (netName) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(server.display, window, server.atoms.netWmName, 0, 1024, False,
                           server.atoms.utf8String, &type, &format, &count, &after,
                           &data) == Success &&
        data) {
      same = format == 8 && std::string(reinterpret_cast<char*>(data), count) == title;
      XFree(data);
    }
    return same;
  }
  char* name = nullptr;
  if (XFetchName(server.display, window, &name) && name) {
    same = std::strcmp(name, title) == 0;
    XFree(name);
  }
  return same;
}

// A top-level window of that title in the window manager's client list.
Window FindInClientList(const char* title) {
  const x11::Connection& server = x11::Server();
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(server.display, server.root, server.atoms.netClientList, 0, 65536, False,
                         XA_WINDOW, &type, &format, &count, &after, &data) != Success ||
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
  if (!XQueryTree(x11::Server().display, parent, &rootReturn, &parentReturn, &children, &count)) {
    return 0;
  }
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

}  // namespace

namespace platform {

bool MoveWindowByTitle(const char* title, int left, int top, int width, int height) {
  const x11::Connection& server = x11::Server();
  // Other programs' windows may vanish at any moment, while they are looked at or moved: the
  // errors that follow are expected and no reason to report or stop.
  x11::ErrorTrap trap;
  Window window = FindInClientList(title);
  if (!window) window = FindInTree(server.root, title, 0);
  if (!window || width <= 0 || height <= 0) return false;
  XMoveResizeWindow(server.display, window, left, top, static_cast<unsigned>(width),
                    static_cast<unsigned>(height));
  XFlush(server.display);
  return true;
}

}  // namespace platform
