// Placeholder until the world tables land.
#include "gamedata/world_tables.h"

#include "display/display.h"

std::int32_t InitGameTables() {
  SetCanvasSize(displayState.canvasWidth, displayState.canvasHeight);
  return 1;
}

void ReleaseGameTables() {}
