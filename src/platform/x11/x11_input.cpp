// The Linux backend's global input: XInput2's raw key and button presses, selected on the
// root window so that they reach Trove whichever window has the focus.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include "input/input_events.h"
#include "platform/platform.h"
#include "platform/x11/x11_backend.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_keys.h"

namespace {

int inputOpcode = 0;  // XInput2's major opcode, which its events carry

// Adds one raw event to those selected on the root window.
bool SelectRawEvent(int event) {
  const x11::Connection& server = x11::Server();
  static unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
  XISetMask(bits, event);
  XIEventMask mask = {XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
  x11::ErrorTrap trap;
  return XISelectEvents(server.display, server.root, &mask, 1) == Success && !trap.Failed();
}

}  // namespace

namespace x11 {

bool QueryRawInput() {
  Display* display = Server().display;
  int eventBase = 0;
  int errorBase = 0;
  int major = 2;
  int minor = 0;
  return XQueryExtension(display, "XInputExtension", &inputOpcode, &eventBase, &errorBase) &&
         XIQueryVersion(display, &major, &minor) == Success;
}

bool HandleRawEvent(XEvent* event) {
  if (event->type != GenericEvent || event->xcookie.extension != inputOpcode) return false;
  Display* display = Server().display;
  XGenericEventCookie* cookie = &event->xcookie;
  if (!XGetEventData(display, cookie)) return true;
  const auto* raw = static_cast<const XIRawEvent*>(cookie->data);
  if (cookie->evtype == XI_RawKeyPress) {
    // The key's first level: Shift held does not turn '[' into '{' or 't' into 'T'.
    KeySym keysym = XkbKeycodeToKeysym(display, static_cast<KeyCode>(raw->detail), 0, 0);
    int key = KeyFromKeysym(keysym);
    if (key >= 0) KeyPressed(key);
  } else if (cookie->evtype == XI_RawButtonPress && raw->detail == 3) {
    RightButtonPressed();
  }
  XFreeEventData(display, cookie);
  return true;
}

}  // namespace x11

namespace platform {

bool InstallMouseHook() { return SelectRawEvent(XI_RawButtonPress); }

bool InstallKeyboardHook() { return SelectRawEvent(XI_RawKeyPress); }

}  // namespace platform
