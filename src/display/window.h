// The main window with its GL context: opening, closing, GL set-up and message pumping.
#pragma once

// Opens the window titled "GAME" for the current canvas size and zoom, hides the cursor.
bool OpenMainWindow();
bool OpenGlWindow(const char* title, int width, int height, int colourBits);
// Releases everything OpenGlWindow acquired; reports each failing release.
void CloseGlWindow();
void SetupProjection(int width, int height);
bool InitGlState();
// Dispatches one message; false when the queue was empty.
bool PumpMessages();

// Entry point for the window system: the user asked the window to close.
void WindowCloseRequested();
