// The Linux backend's one connection to the X server, shared by its files: opened once before
// the program starts, closed after it ends.
#pragma once

#include <X11/Xlib.h>

namespace x11 {

// The atoms the backend names, interned together when the connection opens.
struct Atoms {
  Atom deleteWindow = 0;   // WM_DELETE_WINDOW
  Atom netWmName = 0;      // _NET_WM_NAME
  Atom utf8String = 0;     // UTF8_STRING
  Atom netClientList = 0;  // _NET_CLIENT_LIST
  Atom motifWmHints = 0;   // _MOTIF_WM_HINTS
};

struct Connection {
  Display* display = nullptr;
  int screen = 0;
  Window root = 0;
  Atoms atoms;
};

// Opens the connection to the display named by DISPLAY. Without a display, or without the
// XInput2 extension the global keys need, the program ends with a message and exit code 1.
void OpenConnection();
// Closes the connection; the program makes no X requests after it.
void CloseConnection();
// The open connection (display null outside OpenConnection and CloseConnection).
const Connection& Server();

}  // namespace x11
