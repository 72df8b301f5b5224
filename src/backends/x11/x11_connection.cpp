// The connection to the X server: opened before the program starts, with the atoms the
// backend names and the check for XInput2, and closed after the program ends.
#include "backends/x11/x11_connection.h"

#include <fcntl.h>

#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"
#include "backends/posix/posix_system.h"
#include "backends/x11/x11_backend.h"

namespace {

x11::Backend backend;

// X errors arrive after the request that failed, and by default they would end the program.
// Those of requests that can fail are trapped where they are made; any other is a mistake
// worth knowing of but no reason to stop, so it is reported, each kind once.
int HandleError(Display* display, XErrorEvent* error) {
  if (backend.errors.Take(error->serial, error->error_code, error->request_code,
                          error->minor_code) != x11::ErrorLog::Fate::reported) {
    return 0;
  }
  char text[160] = "";
  XGetErrorText(display, error->error_code, text, sizeof text);
  char number[16];
  std::snprintf(number, sizeof number, "%d", error->request_code);
  char request[80] = "";
  XGetErrorDatabaseText(display, "XRequest", number, number, request, sizeof request);
  std::fprintf(stderr,
               "Trove: X error \"%s\" from request %s (%d.%d); errors like it are not "
               "reported again.\n",
               text, request, error->request_code, error->minor_code);
  return 0;
}

// The server closed the connection or went away: nothing can be shown any more. Xlib must not
// be entered again, so the program ends at once.
int ConnectionLost(Display* display) {
  std::fprintf(stderr, "Trove lost its connection to the X display \"%s\".\n",
               DisplayString(display));
  std::_Exit(1);
}

void InternAtoms(x11::Atoms* atoms) {
  char* names[] = {const_cast<char*>("WM_DELETE_WINDOW"), const_cast<char*>("_NET_WM_NAME"),
                   const_cast<char*>("UTF8_STRING"),      const_cast<char*>("_NET_CLIENT_LIST"),
                   const_cast<char*>("_MOTIF_WM_HINTS"),  const_cast<char*>("_SPOOL_PLAYER")};
  Atom* slots[] = {&atoms->deleteWindow,  &atoms->netWmName,    &atoms->utf8String,
                   &atoms->netClientList, &atoms->motifWmHints, &atoms->playerMark};
  constexpr int count = static_cast<int>(sizeof names / sizeof names[0]);
  Atom interned[count] = {};
  // One round trip for all of them.
  XInternAtoms(backend.server.display, names, count, False, interned);
  for (int i = 0; i < count; ++i) *slots[i] = interned[i];
}

}  // namespace

namespace x11 {

void OpenConnection() {
  backend.server.display = XOpenDisplay(nullptr);
  if (!backend.server.display) {
    std::fprintf(stderr, "Trove cannot open the X display \"%s\".\n", XDisplayName(nullptr));
    platform::ExitProgram(1);
  }
  // Programs Trove starts do not inherit the connection.
  fcntl(ConnectionNumber(backend.server.display), F_SETFD, FD_CLOEXEC);
  XSetErrorHandler(HandleError);
  XSetIOErrorHandler(ConnectionLost);
  backend.server.screen = DefaultScreen(backend.server.display);
  backend.server.root = RootWindow(backend.server.display, backend.server.screen);
  InternAtoms(&backend.server.atoms);

  if (!QueryRawInput()) {
    platform::ShowMessageBox(
        "The X server lacks the XInput2 extension, which Trove needs to receive its keys and "
        "right clicks while another program has the focus.",
        "ERROR", platform::MessageIcon::exclamation);
    platform::ExitProgram(1);
  }
}

void CloseConnection() {
  if (!backend.server.display) return;
  StopRawInput();
  XCloseDisplay(backend.server.display);
  backend.server = Connection();
}

const Connection& Server() { return backend.server; }

Backend& State() { return backend; }

ErrorTrap::ErrorTrap() : previous_(backend.errors.SetTrap(NextRequest(backend.server.display))) {}

ErrorTrap::~ErrorTrap() {
  if (NextRequest(backend.server.display) - 1 > LastKnownRequestProcessed(backend.server.display)) {
    XSync(backend.server.display, False);
  }
  backend.errors.RestoreTrap(previous_);
}

bool ErrorTrap::Failed() {
  XSync(backend.server.display, False);
  return backend.errors.Caught();
}

}  // namespace x11

// A report line follows whatever the program asked of the server so far.
void native::FinishDisplayRequests() {
  if (backend.server.display) XSync(backend.server.display, False);
}
