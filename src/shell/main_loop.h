// The main loop: one pass per presented frame, with the dispatch of every command.
#pragma once

#include "browser/launch.h"
#include "display/display.h"
#include "shell/main_loop_state.h"

struct Trove;

// One pass of the main loop: draw the view, act on clicks and keys, draw the overlay, present,
// pump the window's messages. The caller tests trove.quitRequested first. A pass that would present
// the frame already presented, with no input arrived, waits for input instead.
void RunPass(Trove& trove);

// Whether the next pass would repeat the last presented one: that pass acted on no input or
// request, none has arrived since, and nothing it drew from has changed.
bool PassWouldRepeat(const Trove& trove);

// Forgets the last presented pass, so that the next one is drawn.
void ForgetPresentedPass(MainLoop& mainLoop);

// Passes until trove.quitRequested is set.
void RunMainLoop(Trove& trove);

// The display-mode commands F5, F6 and F8.
void SetDisplayMode(Trove& trove, DisplayMode mode);

// Lift of the notice line when the window reaches below the screen.
int NoticeLift(int canvasHeight, int zoom, int windowY, int screenHeight);

// The notice line's text.
extern const char* const noticeText;
