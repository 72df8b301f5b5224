// The window system's entry point into the core.
#pragma once

// The user asked the window to close. Raises the bound closeRequested, which the main loop
// reads after pumping; nothing else changes.
void WindowCloseRequested();
