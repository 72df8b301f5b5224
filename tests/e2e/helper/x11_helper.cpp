// A small X program the end-to-end tests run beside the Linux program:
//   x11_helper close          asks Trove's window ("GAME") to close (WM_DELETE_WINDOW)
//   x11_helper close TITLE    asks the top-level window titled TITLE to close
//   x11_helper window TITLE   opens a focused window of another program until it is killed
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>
#include <string>
#include <unistd.h>

namespace {

Window FindByName(Display* display, Window parent, const char* title, int depth) {
  Window root = 0;
  Window up = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, parent, &root, &up, &children, &count)) return 0;
  Window found = 0;
  for (unsigned int i = 0; i < count && !found; ++i) {
    char* name = nullptr;
    if (XFetchName(display, children[i], &name) && name) {
      if (std::strcmp(name, title) == 0) found = children[i];
      XFree(name);
    }
  }
  for (unsigned int i = 0; i < count && !found && depth < 4; ++i) {
    found = FindByName(display, children[i], title, depth + 1);
  }
  if (children) XFree(children);
  return found;
}

int Close(Display* display, const char* title) {
  Window window = FindByName(display, DefaultRootWindow(display), title, 0);
  if (!window) return 1;
  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
  return 0;
}

int OpenWindow(Display* display, const char* title) {
  int screen = DefaultScreen(display);
  Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 700, 500, 300, 200, 0,
                                      0, WhitePixel(display, screen));
  XStoreName(display, window, title);
  XSelectInput(display, window, ExposureMask | KeyPressMask);
  XMapRaised(display, window);
  XEvent event;
  XWindowEvent(display, window, ExposureMask, &event);
  XSetInputFocus(display, window, RevertToParent, CurrentTime);
  XSync(display, False);
  for (;;) XNextEvent(display, &event);
}

}  // namespace

int main(int argc, char** argv) {
  Display* display = XOpenDisplay(nullptr);
  if (!display || argc < 2) return 2;
  std::string command = argv[1];
  if (command == "close") return Close(display, argc > 2 ? argv[2] : "GAME");
  if (command == "window" && argc > 2) return OpenWindow(display, argv[2]);
  return 2;
}
