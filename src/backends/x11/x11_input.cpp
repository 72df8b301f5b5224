// The Linux backend's input: keys and buttons in its own window, or, asked for, from the whole
// desktop as XInput2's raw events on the root window; and the repeats of a held key, made here
// at the server's rate in either case.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <ctime>
#include <initializer_list>

#include "input/input_events.h"
#include "input/keys.h"
#include "platform/platform.h"
#include "backends/x11/x11_backend.h"
#include "backends/x11/x11_connection.h"
#include "backends/x11/x11_keys.h"

namespace {

// The raw input's part of the backend's state.
x11::RawInput& Raw() { return x11::State().raw; }

// Adds raw events to those selected on the root window.
bool SelectRawEvents(std::initializer_list<int> events) {
  const x11::Connection& server = x11::Server();
  for (int event : events) XISetMask(Raw().selected, event);
  XIEventMask mask = {XIAllMasterDevices, static_cast<int>(sizeof Raw().selected), Raw().selected};
  x11::ErrorTrap trap;
  return XISelectEvents(server.display, server.root, &mask, 1) == Success && !trap.Failed();
}

std::int64_t NowMs() {
  timespec now = {};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// The key as the program sees it: its symbols in the keyboard's active group and the one it
// types with the modifiers held (those of its event, else the keyboard's now), and whether it
// repeats, at the rate the server repeats keys now. Keys only the Linux program has are left out
// of desktop-wide input.
x11::RawKeyPress DescribePress(Display* display, int keycode, const unsigned* eventState) {
  x11::RawKeyPress press;
  press.keycode = keycode;
  XkbStateRec state = {};
  const bool stateKnown = XkbGetState(display, XkbUseCoreKbd, &state) == Success;
  const int group = stateKnown ? state.group : 0;
  constexpr int levels = 4;
  unsigned long symbols[levels] = {};
  for (int level = 0; level < levels; ++level) {
    symbols[level] = XkbKeycodeToKeysym(display, static_cast<KeyCode>(keycode), group, level);
  }
  KeySym typed = symbols[0];
  unsigned int consumed = 0;
  if (eventState || stateKnown) {
    const unsigned modifiers =
        eventState ? *eventState : XkbBuildCoreState(state.mods, state.group);
    XkbLookupKeySym(display, static_cast<KeyCode>(keycode), modifiers, &consumed, &typed);
  }
  press.key = x11::KeyFromSymbols(symbols, levels, typed);
  if (Raw().desktop && key::IsDesktopKey(press.key)) press.key = -1;
  // Alt is the same key in every group.
  press.alt = x11::IsAltKeysym(XkbKeycodeToKeysym(display, static_cast<KeyCode>(keycode), 0, 0));
  XKeyboardState keyboard = {};
  XGetKeyboardControl(display, &keyboard);
  press.repeats = x11::RepeatsWhileHeld(
      press.key, (keyboard.auto_repeats[keycode / 8] & (1 << (keycode % 8))) != 0,
      keyboard.global_auto_repeat == AutoRepeatModeOn);
  unsigned delay = 0;
  unsigned interval = 0;
  if (press.repeats && XkbGetAutoRepeatRate(display, XkbUseCoreKbd, &delay, &interval)) {
    Raw().repeat.SetRate(static_cast<int>(delay), static_cast<int>(interval));
  }
  return press;
}

}  // namespace

namespace x11 {

bool QueryRawInput() {
  Display* display = Server().display;
  int eventBase = 0;
  int errorBase = 0;
  // From version 2.1 on, raw events arrive while another program grabs the keyboard too, so
  // no release of a held key goes missing.
  int major = 2;
  int minor = 1;
  return XQueryExtension(display, "XInputExtension", &Raw().opcode, &eventBase, &errorBase) &&
         XIQueryVersion(display, &major, &minor) == Success;
}

bool HandleRawEvent(XEvent* event, Input& input) {
  if (event->type != GenericEvent || event->xcookie.extension != Raw().opcode) return false;
  Display* display = Server().display;
  XGenericEventCookie* cookie = &event->xcookie;
  if (!XGetEventData(display, cookie)) return true;
  const auto* rawEvent = static_cast<const XIRawEvent*>(cookie->data);
  const int keycode = rawEvent->detail;
  // A server that did send its own repeats as raw events would repeat keys twice as often.
  const bool serverRepeat = (rawEvent->flags & XIKeyRepeat) != 0;
  if (cookie->evtype == XI_RawKeyPress && !serverRepeat && keycode >= 0 && keycode <= 255) {
    int key = Raw().repeat.Press(DescribePress(display, keycode, nullptr), NowMs());
    if (key >= 0) KeyPressed(input, key);
  } else if (cookie->evtype == XI_RawKeyRelease) {
    Raw().repeat.Release(keycode);
  } else if (cookie->evtype == XI_RawButtonPress && rawEvent->detail == 3) {
    RightButtonPressed(input);
  }
  XFreeEventData(display, cookie);
  return true;
}

bool HandleWindowInput(XEvent* event, Window window, Input& input) {
  if (Raw().desktop) return false;
  Display* display = Server().display;
  if ((event->type == KeyPress || event->type == KeyRelease) && event->xkey.window == window) {
    const XKeyEvent& k = event->xkey;
    const auto keycode = static_cast<int>(k.keycode);
    if (keycode < 0 || keycode > 255) return true;
    if (event->type == KeyRelease) {
      Raw().held.reset(static_cast<std::size_t>(keycode));
      Raw().repeat.Release(keycode);
      return true;
    }
    // The server's own repeats of a held key come as presses without a release between them
    // (detectable auto-repeat): the key repeats here instead, as it does with raw input.
    if (Raw().held.test(static_cast<std::size_t>(keycode))) return true;
    Raw().held.set(static_cast<std::size_t>(keycode));
    const int key = Raw().repeat.Press(DescribePress(display, keycode, &k.state), NowMs());
    if (key >= 0) KeyPressed(input, key);
    return true;
  }
  if (event->type == ButtonPress && event->xbutton.window == window) {
    // A press in the window gives it the keyboard as well, as a window manager's click to focus
    // would (none may run).
    XSetInputFocus(display, window, RevertToParent, event->xbutton.time);
    // Either button selects and acts; the wheel turns a notch at a time.
    const unsigned button = event->xbutton.button;
    if (button == Button1 || button == Button3) RightButtonPressed(input);
    if (button == Button4) KeyPressed(input, key::wheelUp);
    if (button == Button5) KeyPressed(input, key::wheelDown);
    return true;
  }
  if (event->type == FocusOut && event->xfocus.window == window) {
    // Keys released in another window are not seen: none is held any more for this one.
    Raw().held.reset();
    Raw().repeat.Reset();
    return true;
  }
  return false;
}

long WindowInputMask() {
  return Raw().desktop ? 0 : KeyPressMask | KeyReleaseMask | ButtonPressMask | FocusChangeMask;
}

void RepeatHeldKey(Input& input) {
  const std::int64_t now = NowMs();
  const int keycode = Raw().repeat.RepeatingKeycode(now);
  if (keycode < 0) return;
  // The server's own view of the keyboard: a key whose release was missed is up there.
  char keys[32] = {};
  XQueryKeymap(Server().display, keys);
  const bool held = (keys[keycode / 8] & (1 << (keycode % 8))) != 0;
  const int key = Raw().repeat.Repeat(now, held);
  if (key >= 0) KeyPressed(input, key);
}

int MsUntilRepeat() { return Raw().repeat.MsUntilRepeat(NowMs()); }

void StopRawInput() {
  Display* display = Server().display;
  if (Raw().opcode == 0) return;
  // A raw event that arrived while the connection closes would be read by the extension's
  // library after it has let go of the display, and wait forever for the display's own lock:
  // none is selected any more, and those on their way are read and dropped now.
  unsigned char none[XIMaskLen(XI_LASTEVENT)] = {};
  XIEventMask mask = {XIAllMasterDevices, static_cast<int>(sizeof none), none};
  XISelectEvents(display, Server().root, &mask, 1);
  XSync(display, True);
}

}  // namespace x11

namespace platform {

void TakeDesktopInput() { Raw().desktop = true; }

// Input in the program's own window comes with the window's events, selected as it is made.
bool InstallMouseHook() { return !Raw().desktop || SelectRawEvents({XI_RawButtonPress}); }

bool InstallKeyboardHook() {
  if (!Raw().desktop) {
    // Without it a held key's repeats would each arrive as a release and a press.
    Bool supported = False;
    XkbSetDetectableAutoRepeat(x11::Server().display, True, &supported);
    return true;
  }
  return SelectRawEvents({XI_RawKeyPress, XI_RawKeyRelease});
}

}  // namespace platform
