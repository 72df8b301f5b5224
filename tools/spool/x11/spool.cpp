// The stand-in player for the Linux program: the same parameter contract as spool.exe, given
// as argument words (rightful, the media path with '*' for spaces, a number). It opens a
// window with the player's title that shows which file it was asked to play. When SPOOL_LOG
// names a file it appends the words it received, joined by single blanks, to that file, one
// line per start; it writes nothing else.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../spool_args.h"

namespace {

constexpr const char* windowTitle = "Spool video and audio player";
constexpr int windowSize = 600;
constexpr int captionHeight = 24;

void AppendToLog(const std::string& line) {
  const char* name = std::getenv("SPOOL_LOG");
  if (!name || !*name) return;
  int file = open(name, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (file < 0) return;
  std::string text = line + "\n";
  ssize_t written = write(file, text.data(), text.size());
  (void)written;
  close(file);
}

// What the window says about the request, one line each.
std::vector<std::string> Describe(const std::string& line) {
  spool::PlayRequest request = spool::ParsePlayRequest(line);
  if (!request.wellFormed) {
    return {"The parameters are malformed:", "\"" + line + "\"",
            "Expected: rightful <media path, spaces written as *> <number>"};
  }
  std::vector<std::string> text;
  struct stat st;
  if (stat(request.mediaPath.c_str(), &st) != 0) {
    text = {"The media file cannot be found:", request.mediaPath};
  } else if (S_ISDIR(st.st_mode)) {
    text = {"This is a folder, not a media file:", request.mediaPath};
  } else {
    text = {"Playing " + std::string(spool::FileName(request.mediaPath)),
            "Size: " + std::to_string(static_cast<long long>(st.st_size)) + " bytes",
            "Path: " + request.mediaPath};
  }
  text.push_back("Number: " + std::to_string(request.number));
  return text;
}

void Fill(Display* display, Window window, GC gc, unsigned long colour, int x, int y, int w,
          int h) {
  XSetForeground(display, gc, colour);
  XFillRectangle(display, window, gc, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h));
}

void Text(Display* display, Window window, GC gc, unsigned long colour, int x, int y,
          const std::string& text) {
  XSetForeground(display, gc, colour);
  XDrawString(display, window, gc, x, y, text.c_str(), static_cast<int>(text.size()));
}

void Paint(Display* display, Window window, GC gc, const std::vector<std::string>& lines) {
  XWindowAttributes attributes;
  XGetWindowAttributes(display, window, &attributes);
  int width = attributes.width;
  int height = attributes.height;
  Fill(display, window, gc, 0x181820, 0, 0, width, height);
  // A drawn caption strip with the title and a close box, as the window has no frame.
  Fill(display, window, gc, 0x3C3C5A, 0, 0, width, captionHeight);
  Text(display, window, gc, 0xFFFFFF, 8, 16, windowTitle);
  Text(display, window, gc, 0xFFFFFF, width - 16, 16, "X");
  // A screen-like panel, the request's description below it.
  Fill(display, window, gc, 0x000000, 16, captionHeight + 16, width - 32,
       height / 2 - captionHeight - 16);
  Text(display, window, gc, 0x78C8FF, width / 2 - 15, height / 4 + captionHeight / 2, "SPOOL");
  int y = height / 2 + 32;
  for (const std::string& line : lines) {
    Text(display, window, gc, 0xE6E6E6, 16, y, line);
    y += 18;
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  AppendToLog(line);
  std::vector<std::string> lines = Describe(line);

  Display* display = XOpenDisplay(nullptr);
  if (!display) return 1;
  int screen = DefaultScreen(display);
  Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 100, 100, windowSize,
                                      windowSize, 0, 0, BlackPixel(display, screen));
  XStoreName(display, window, windowTitle);
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                  XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(windowTitle),
                  static_cast<int>(std::strlen(windowTitle)));
  long hints[5] = {2, 0, 0, 0, 0};  // Motif hints: no decorations
  Atom motif = XInternAtom(display, "_MOTIF_WM_HINTS", False);
  XChangeProperty(display, window, motif, motif, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(hints), 5);
  Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display, window, &deleteWindow, 1);
  XSelectInput(display, window, ExposureMask | ButtonPressMask | StructureNotifyMask);
  GC gc = XCreateGC(display, window, 0, nullptr);
  XMapRaised(display, window);

  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == Expose && event.xexpose.count == 0) {
      Paint(display, window, gc, lines);
    } else if (event.type == ConfigureNotify) {
      XClearArea(display, window, 0, 0, 0, 0, True);
    } else if (event.type == ButtonPress) {
      XWindowAttributes attributes;
      XGetWindowAttributes(display, window, &attributes);
      if (event.xbutton.y < captionHeight && event.xbutton.x >= attributes.width - captionHeight) {
        break;
      }
    } else if (event.type == ClientMessage &&
               static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow) {
      break;
    }
  }
  XFreeGC(display, gc);
  XDestroyWindow(display, window);
  XCloseDisplay(display);
  return 0;
}
