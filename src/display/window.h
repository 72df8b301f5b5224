// The main window with its GL context: opening, closing, GL set-up and message pumping.
#pragma once

// Opens the window titled "GAME" for the current canvas size and zoom, hides the cursor.
bool OpenMainWindow();
bool OpenGlWindow(const char* title, int width, int height, int colourBits);
// Releases everything OpenGlWindow acquired; reports each failing release.
void CloseGlWindow();
// The fixed viewport and projection of every window, whatever its size: the frame blit does
// not depend on them.
void SetupProjection();
bool InitGlState();
// Dispatches one message; false when the queue was empty.
bool PumpMessages();

extern bool closeRequested;

// Back to the state before start-up (tests): no close request pending.
void ResetWindow();
