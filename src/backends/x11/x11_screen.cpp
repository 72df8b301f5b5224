// The Linux backend's screen size: the primary monitor's through XRandR, else the whole
// screen's.
#include <X11/Xlib.h>

#include <cstdlib>
#include <cstring>
#include <X11/extensions/Xrandr.h>

#include "platform/platform.h"
#include "backends/x11/x11_connection.h"

namespace {

// The primary monitor's size through XRandR; false where there is no primary output.
bool PrimaryMonitorSize(int* width, int* height) {
  const x11::Connection& server = x11::Server();
  Display* display = server.display;
  int eventBase = 0;
  int errorBase = 0;
  if (!XRRQueryExtension(display, &eventBase, &errorBase)) return false;
  RROutput primary = XRRGetOutputPrimary(display, server.root);
  if (primary == None) return false;
  XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, server.root);
  if (!resources) return false;
  bool found = false;
  if (XRROutputInfo* output = XRRGetOutputInfo(display, resources, primary)) {
    if (output->crtc != None) {
      if (XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, output->crtc)) {
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
  if (!PrimaryMonitorSize(width, height)) {
    const x11::Connection& server = x11::Server();
    *width = DisplayWidth(server.display, server.screen);
    *height = DisplayHeight(server.display, server.screen);
  }
}

// The desktop's dots per inch: Xft.dpi from the server's resources, as desktop programs read it,
// else the screen's own size in millimetres; 0 when neither tells.
double DesktopDpi() {
  const x11::Connection& server = x11::Server();
  if (const char* resources = XResourceManagerString(server.display)) {
    for (const char* line = resources; line && *line;) {
      if (std::strncmp(line, "Xft.dpi:", 8) == 0) {
        const double dpi = std::strtod(line + 8, nullptr);
        if (dpi > 0) return dpi;
      }
      line = std::strchr(line, '\n');
      if (line) ++line;
    }
  }
  const int millimetres = DisplayWidthMM(server.display, server.screen);
  if (millimetres <= 0) return 0;
  return DisplayWidth(server.display, server.screen) * 25.4 / millimetres;
}

}  // namespace

namespace platform {

int DisplayScale() { return DesktopDpi() >= 144.0 ? 2 : 1; }

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

}  // namespace platform
