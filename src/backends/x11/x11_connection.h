// The Linux backend's one connection to the X server, shared by its files: opened once before
// the program starts, closed after it ends.
#pragma once

#include <X11/Xlib.h>

#include "backends/x11/x11_backend.h"
#include "backends/x11/x11_error_log.h"

namespace x11 {

// Opens the connection to the display named by DISPLAY. Without a display, or without the
// XInput2 extension the global keys need, the program ends with a message and exit code 1.
// X errors are reported on standard error from then on, each kind once, except those an
// ErrorTrap catches; a connection the server drops ends the program with a message and exit
// code 1.
void OpenConnection();
// Closes the connection; the program makes no X requests after it.
void CloseConnection();
// The open connection (display null outside OpenConnection and CloseConnection).
const Connection& Server();

// Catches the X errors of the requests made while it lives: they fail their caller, who asks
// Failed(), instead of being reported. Errors of earlier requests are reported as ever.
class ErrorTrap {
 public:
  ErrorTrap();
  // Waits for the answers to any requests still outstanding, so that no error of a request
  // made under the trap outlives it.
  ~ErrorTrap();
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;

  // Waits until the server has answered every request made so far; true when one made under
  // the trap failed.
  bool Failed();

 private:
  ErrorLog::Trap previous_;
};

}  // namespace x11
