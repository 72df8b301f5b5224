// The Linux backend's search for the player's window, through the window manager's client list
// or, without one, the window tree, and the move that places it. The player's window is the one
// with its title and the mark the player puts on it (_SPOOL_PLAYER); the title alone could be
// any program's.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>
#include <string>

#include "platform/platform.h"
#include "backends/x11/x11_connection.h"

namespace {

// Hands the items of a window's property to use when it has that type and format (8 or 32),
// reading at most `longest` 32-bit units of it; false when it has no such property.
template <typename Use>
bool WithProperty(Window window, Atom property, Atom type, int format, long longest, Use use) {
  Atom actualType = None;
  int actualFormat = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(x11::Server().display, window, property, 0, longest, False, type,
                         &actualType, &actualFormat, &count, &after, &data) != Success) {
    return false;
  }
  const bool found = data && actualType == type && actualFormat == format;
  if (found) use(data, count);
  if (data) XFree(data);
  return found;
}

// The window's title through the window manager's UTF-8 name, else WM_NAME.
bool HasTitle(Window window, const char* title, bool netName) {
  const x11::Connection& server = x11::Server();
  bool same = false;
  if (netName) {
    WithProperty(window, server.atoms.netWmName, server.atoms.utf8String, 8, 1024,
                 [&](const unsigned char* data, unsigned long count) {
                   same = std::string(reinterpret_cast<const char*>(data), count) == title;
                 });
    return same;
  }
  char* name = nullptr;
  if (XFetchName(server.display, window, &name) && name) {
    same = std::strcmp(name, title) == 0;
    XFree(name);
  }
  return same;
}

// The player's mark: its process id as one CARDINAL in _SPOOL_PLAYER.
bool HasPlayerMark(Window window) {
  bool marked = false;
  WithProperty(window, x11::Server().atoms.playerMark, XA_CARDINAL, 32, 1,
               [&](const unsigned char*, unsigned long count) { marked = count == 1; });
  return marked;
}

// A top-level player window of that title in the window manager's client list.
Window FindInClientList(const char* title) {
  const x11::Connection& server = x11::Server();
  Window found = 0;
  WithProperty(server.root, server.atoms.netClientList, XA_WINDOW, 32, 65536,
               [&](const unsigned char* data, unsigned long count) {
                 // Items of format 32 arrive as longs, which a Window is.
                 const auto* windows = reinterpret_cast<const Window*>(data);
                 for (unsigned long i = 0; i < count && !found; ++i) {
                   if ((HasTitle(windows[i], title, true) || HasTitle(windows[i], title, false)) &&
                       HasPlayerMark(windows[i])) {
                     found = windows[i];
                   }
                 }
               });
  return found;
}

// Without a window manager's list: the first player window of that WM_NAME under parent.
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
    if (HasTitle(children[i], title, false) && HasPlayerMark(children[i])) found = children[i];
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

bool MovePlayerWindow(const char* title, int left, int top, int width, int height) {
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
