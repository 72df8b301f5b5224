// Shared between the Linux backend's files.
#pragma once

#include <X11/Xlib.h>

namespace x11 {

// The connection to the X server, opened on first use. Without a display, or without the
// XInput2 extension the global keys need, the program ends with a message.
Display* Connection();
// The connection when it is open, else null (nothing is opened).
Display* OpenConnection();
// The main window, or 0 when there is none.
Window MainWindow();

}  // namespace x11
