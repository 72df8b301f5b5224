// Message boxes for the Linux program: X11 has none, so Trove draws its own small window with
// its bitmap font (the caption as the window's title, the text, an OK button that a click or
// Enter dismisses). The text also goes to standard error, where it stays readable when no
// window can be shown.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/font.h"
#include "platform/platform.h"
#include "backends/x11/x11_connection.h"

namespace {

constexpr int scale = 2;        // screen pixels per font pixel
constexpr int lineHeight = 11;  // font rows per text line
constexpr int margin = 12;      // font pixels around the text
constexpr int maxLineWidth = 220;
constexpr int buttonWidth = 24;
constexpr int buttonHeight = 13;

int TextWidth(const std::string& text) {
  int width = 0;
  for (unsigned char c : text) width += GlyphWidth(c) + 1;
  return width;
}

// The text broken at blanks into lines of at most maxLineWidth font pixels.
std::vector<std::string> WrapText(const char* text) {
  std::vector<std::string> lines;
  std::string line;
  std::string word;
  auto flushWord = [&] {
    if (word.empty()) return;
    std::string candidate = line.empty() ? word : line + " " + word;
    if (!line.empty() && TextWidth(candidate) > maxLineWidth) {
      lines.push_back(line);
      line = word;
    } else {
      line = candidate;
    }
    word.clear();
  };
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == ' ' || *c == '\n') {
      flushWord();
      if (*c == '\n') {
        lines.push_back(line);
        line.clear();
      }
    } else {
      word += *c;
    }
  }
  flushWord();
  if (!line.empty() || lines.empty()) lines.push_back(line);
  return lines;
}

// Draws text with the program's font, glyph row 1 at font row top.
void DrawFontText(Display* display, Drawable target, GC gc, const std::string& text, int left,
                  int top) {
  int pen = left;
  for (unsigned char c : text) {
    const char* entry = c < 128 ? BitmapFont[c] : BitmapFont[' '];
    int width = GlyphWidth(c);
    for (int row = 1; row <= 9; ++row) {
      for (int column = 0; column < width && c < 128; ++column) {
        if (entry[8 * row + column] != '0') {
          XFillRectangle(display, target, gc, (pen + column) * scale, (top + row - 1) * scale,
                         scale, scale);
        }
      }
    }
    pen += width + 1;
  }
}

struct BoxLayout {
  std::vector<std::string> lines;
  int width = 0;  // font pixels
  int height = 0;
  int buttonLeft = 0;
  int buttonTop = 0;
};

BoxLayout LayOut(const char* text) {
  BoxLayout layout;
  layout.lines = WrapText(text);
  int widest = buttonWidth;
  for (const std::string& line : layout.lines) widest = std::max(widest, TextWidth(line));
  layout.width = widest + 2 * margin;
  layout.buttonTop = margin + static_cast<int>(layout.lines.size()) * lineHeight + 6;
  layout.height = layout.buttonTop + buttonHeight + margin;
  layout.buttonLeft = (layout.width - buttonWidth) / 2;
  return layout;
}

void Paint(Display* display, Window window, GC gc, const BoxLayout& layout) {
  XSetForeground(display, gc, 0x202020);
  XFillRectangle(display, window, gc, 0, 0, layout.width * scale, layout.height * scale);
  XSetForeground(display, gc, 0xFFFF00);
  for (std::size_t i = 0; i < layout.lines.size(); ++i) {
    DrawFontText(display, window, gc, layout.lines[i], margin,
                 margin + static_cast<int>(i) * lineHeight);
  }
  XSetForeground(display, gc, 0xFFFFFF);
  XDrawRectangle(display, window, gc, layout.buttonLeft * scale, layout.buttonTop * scale,
                 buttonWidth * scale, buttonHeight * scale);
  DrawFontText(display, window, gc, "OK", layout.buttonLeft + (buttonWidth - TextWidth("OK")) / 2,
               layout.buttonTop + 1);
}

Bool ForWindow(Display*, XEvent* event, XPointer window) {
  return event->xany.window == *reinterpret_cast<Window*>(window) ? True : False;
}

bool InButton(const BoxLayout& layout, int x, int y) {
  return x >= layout.buttonLeft * scale && x <= (layout.buttonLeft + buttonWidth) * scale &&
         y >= layout.buttonTop * scale && y <= (layout.buttonTop + buttonHeight) * scale;
}

}  // namespace

namespace platform {

void ShowMessageBox(const char* text, const char* caption, MessageIcon) {
  std::fprintf(stderr, "%s: %s\n", caption, text);
  const x11::Connection& server = x11::Server();
  Display* display = server.display;
  if (!display) return;

  BoxLayout layout = LayOut(text);
  int screen = DefaultScreen(display);
  Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 40, 40,
                                      static_cast<unsigned>(layout.width * scale),
                                      static_cast<unsigned>(layout.height * scale), 0, 0, 0);
  XStoreName(display, window, caption);
  XChangeProperty(display, window, server.atoms.netWmName, server.atoms.utf8String, 8,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(caption),
                  static_cast<int>(std::strlen(caption)));
  Atom deleteWindow = server.atoms.deleteWindow;
  XSetWMProtocols(display, window, &deleteWindow, 1);
  XSelectInput(display, window, ExposureMask | ButtonPressMask | KeyPressMask);
  GC gc = XCreateGC(display, window, 0, nullptr);
  XMapRaised(display, window);

  // Modal: the box's own events are handled until it is dismissed; others wait in the queue.
  bool open = true;
  bool focused = false;
  while (open) {
    XEvent event;
    XIfEvent(display, &event, ForWindow, reinterpret_cast<XPointer>(&window));
    if (event.type == Expose && event.xexpose.count == 0) {
      Paint(display, window, gc, layout);
      if (!focused) {
        // A server may keep the focus from an untrusted client; the box is shown all the same.
        x11::ErrorTrap trap;
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
      }
      focused = true;
    } else if (event.type == ButtonPress) {
      open = !InButton(layout, event.xbutton.x, event.xbutton.y);
    } else if (event.type == KeyPress) {
      KeySym keysym = XLookupKeysym(&event.xkey, 0);
      open = keysym != XK_Return && keysym != XK_KP_Enter;
    } else if (event.type == ClientMessage) {
      open = static_cast<Atom>(event.xclient.data.l[0]) != deleteWindow;
    }
  }
  XFreeGC(display, gc);
  XDestroyWindow(display, window);
  XSync(display, False);
}

}  // namespace platform
