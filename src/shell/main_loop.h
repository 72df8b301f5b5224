// The main loop: one pass per presented frame, with the dispatch of every command.
#pragma once

extern int quitRequested;

// One pass of the main loop: draw the view, act on clicks and keys, draw the overlay, present,
// pump the window's messages. The caller tests quitRequested first.
void RunPass();

// Passes until quitRequested is set.
void RunMainLoop();

// The display-mode commands: 1 (half the screen), 0 (1280 x 960), 2 (the whole screen).
void SetDisplayMode(int mode);

// Lift of the notice line when the window reaches below the screen.
int NoticeLift(int canvasHeight, int zoom, int windowY, int screenHeight);

// The notice line's text.
extern const char* const noticeText;
