// Shared between the Linux backend's files: the backend's whole state, one object for the
// program's life, and raw input, read on the connection's event queue.
#pragma once

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <bitset>
#include <ctime>

#include "backends/x11/x11_error_log.h"
#include "backends/x11/x11_geometry.h"
#include "backends/x11/x11_keys.h"

struct Input;

namespace x11 {

// The atoms the backend names, interned together when the connection opens.
struct Atoms {
  Atom deleteWindow = 0;   // WM_DELETE_WINDOW
  Atom netWmName = 0;      // _NET_WM_NAME
  Atom utf8String = 0;     // UTF8_STRING
  Atom netClientList = 0;  // _NET_CLIENT_LIST
  Atom motifWmHints = 0;   // _MOTIF_WM_HINTS
  Atom playerMark = 0;     // _SPOOL_PLAYER, which the player puts on its own window
};

struct Connection {
  Display* display = nullptr;
  int screen = 0;
  Window root = 0;
  Atoms atoms;
};

// The window-system state of the main window.
struct MainWindow {
  Window window = 0;
  Colormap colormap = 0;
  GLXContext context = nullptr;
  WindowGeometry geometry;
  Window parent = 0;  // the root window, or a window manager's frame
  Cursor blankCursor = 0;
  std::time_t screenSaverReset = 0;
};

// The input's state: from the program's own window, or from the whole desktop (raw events,
// XInput2's opcode and the events selected so far); the keys held and their repeats.
struct RawInput {
  bool desktop = false;  // --global-input
  int opcode = 0;        // XInput2's major opcode, which its events carry
  unsigned char selected[XIMaskLen(XI_LASTEVENT)] = {};
  std::bitset<256> held;  // keys pressed in the window and not released since
  KeyRepeat repeat;
};

// Everything the backend keeps: the connection and the log of its errors, the main window and
// the raw input.
struct Backend {
  Connection server;
  ErrorLog errors;
  MainWindow main;
  RawInput raw;
};

// The backend's one state object.
Backend& State();

// Whether the server offers XInput2, whose raw events bring the global keys and right clicks.
bool QueryRawInput();
// Latches an XInput2 raw event into input through the core's entry points; false for any other
// event.
bool HandleRawEvent(XEvent* event, Input& input);
// Latches a key or button event of the program's own window into input (unless input comes from
// the whole desktop); false for any other event.
bool HandleWindowInput(XEvent* event, Window window, Input& input);
// The events the main window selects for its input: none with desktop-wide input.
long WindowInputMask();
// Latches the held key's repeat into input when it is due.
void RepeatHeldKey(Input& input);
// Milliseconds until the held key's next repeat, or -1 when no key repeats.
int MsUntilRepeat();
// Selects no raw events any more and drops those on their way, before the connection closes.
void StopRawInput();

}  // namespace x11
