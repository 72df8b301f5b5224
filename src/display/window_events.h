// The window system's entry point into the core.
#pragma once

struct WindowRequests;

// The user asked the window to close: raises window.closeRequested, which the main loop reads
// after pumping; nothing else changes.
void WindowCloseRequested(WindowRequests& window);
