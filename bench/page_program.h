// The program as start-up leaves it at 1280 x 960 (display mode 0, 200-pixel cells: 24 cells,
// so ".", ".." and 18 pictures share one page), browsing folder: shared by the benchmarks and
// the Windows page timing.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "browser/file_list.h"
#include "browser/picture_views.h"
#include "display/display.h"
#include "pictures/texture_loader.h"
#include "platform/platform.h"
#include "shell/reset.h"

inline bool SetUpPageProgram(const char* folder) {
  ResetProgram();
  SetCanvasSize(1280, 960);
  displayState.displayMode = DisplayMode::movable1280;
  displayState.zoom = 1;
  pictureViews.cellWidth = pictureViews.cellHeight = 200;
  AllocateFileList();
  textureLoader.pixels = static_cast<std::uint8_t*>(std::malloc(pictureBufferBytes));
  std::snprintf(browsedPath, pathBufferSize, "%s", folder);
  platform::GetCurrentDir(workingDirectory, pathBufferSize);
  fileList.thumbFirst = 1;
  return textureLoader.pixels != nullptr;
}
