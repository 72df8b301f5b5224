// The program's state as one object: each subsystem's state, made by TroveMain and handed
// down to the functions that work on it.
#pragma once

#include "gamedata/world_tables.h"
#include "display/window.h"
#include "input/input.h"

struct Trove {
  World world;
  GameTextures textures;
  Input input;
  WindowRequests window;
  bool quitRequested = false;  // ends the main loop
};
