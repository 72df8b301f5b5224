// The program's state as one object: each subsystem's state, made by TroveMain and handed
// down to the functions that work on it.
#pragma once

#include "display/display.h"
#include "display/window.h"
#include "gamedata/world_tables.h"
#include "input/input.h"
#include "pictures/texture_loader.h"

struct Trove {
  World world;
  Display display;
  Pictures pictures;
  GameTextures textures;
  Input input;
  WindowRequests window;
  bool quitRequested = false;  // ends the main loop
};
