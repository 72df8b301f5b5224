// The program's state as one object: each subsystem's state, made by TroveMain and handed
// down to the functions that work on it.
#pragma once

#include "browser/browser.h"
#include "display/display.h"
#include "display/window.h"
#include "gamedata/world_tables.h"
#include "input/input.h"
#include "pictures/texture_loader.h"
#include "shell/main_loop_state.h"

struct Trove {
  World world;
  Display display;
  Pictures pictures;
  Browser browser;
  MainLoop mainLoop;
  GameTextures textures;
  Input input;
  WindowRequests window;
  bool quitRequested = false;  // ends the main loop
};
