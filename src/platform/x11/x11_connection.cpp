// The connection to the X server: opened before the program starts, with the atoms the
// backend names and the check for XInput2, and closed after the program ends.
#include "platform/x11/x11_connection.h"

#include <fcntl.h>

#include <cstdio>

#include "platform/platform.h"
#include "platform/x11/x11_backend.h"

namespace {

x11::Connection server;

// X errors arrive late and would end the program by default; a window that vanished while
// it was being looked up or moved is not a reason to stop.
int IgnoreError(Display*, XErrorEvent*) { return 0; }

void InternAtoms(x11::Atoms* atoms) {
  char* names[] = {const_cast<char*>("WM_DELETE_WINDOW"), const_cast<char*>("_NET_WM_NAME"),
                   const_cast<char*>("UTF8_STRING"), const_cast<char*>("_NET_CLIENT_LIST"),
                   const_cast<char*>("_MOTIF_WM_HINTS")};
  Atom* slots[] = {&atoms->deleteWindow, &atoms->netWmName, &atoms->utf8String,
                   &atoms->netClientList, &atoms->motifWmHints};
  constexpr int count = static_cast<int>(sizeof names / sizeof names[0]);
  Atom interned[count] = {};
  // One round trip for all of them.
  XInternAtoms(server.display, names, count, False, interned);
  for (int i = 0; i < count; ++i) *slots[i] = interned[i];
}

}  // namespace

namespace x11 {

void OpenConnection() {
  server.display = XOpenDisplay(nullptr);
  if (!server.display) {
    std::fprintf(stderr, "Trove cannot open the X display \"%s\".\n", XDisplayName(nullptr));
    platform::ExitProgram(1);
  }
  // Programs Trove starts do not inherit the connection.
  fcntl(ConnectionNumber(server.display), F_SETFD, FD_CLOEXEC);
  XSetErrorHandler(IgnoreError);
  server.screen = DefaultScreen(server.display);
  server.root = RootWindow(server.display, server.screen);
  InternAtoms(&server.atoms);

  if (!QueryRawInput()) {
    platform::ShowMessageBox(
        "The X server lacks the XInput2 extension, which Trove needs to receive its keys and "
        "right clicks while another program has the focus.",
        "ERROR", platform::MessageIcon::exclamation);
    platform::ExitProgram(1);
  }
}

void CloseConnection() {
  if (!server.display) return;
  XCloseDisplay(server.display);
  server = Connection();
}

const Connection& Server() { return server; }

}  // namespace x11
