// The program states the benchmarks start from: the display as mode 1 leaves it, and the program
// as start-up leaves it at 1280 x 960 (display mode 0, 200-pixel cells: 24 cells, so ".", ".."
// and 18 pictures share one page) browsing a folder, which the Windows page timing shares.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "browser/browser.h"
#include "browser/picture_sampling.h"
#include "browser/picture_view.h"
#include "browser/thumbnail_page.h"
#include "display/display.h"
#include "pictures/texture_loader.h"
#include "platform/platform.h"
#include "shell/trove.h"

// The display as mode 1 leaves it on a 1920 x 1080 screen: 960 x 540 at zoom 2.
inline void UseHalfScreenDisplay(Display& display) {
  SetCanvasSize(display, 960, 540);
  DisplayState& d = display.displayState;
  d.displayMode = DisplayMode::halfScreen;
  d.zoom = 2;
  d.screenWidth = 1920;
  d.screenHeight = 1080;
}

inline bool SetUpPageProgram(Trove& trove, const char* folder) {
  Browser& browser = trove.browser;
  TextureLoader& textureLoader = trove.pictures.textureLoader;
  SetCanvasSize(trove.display, 1280, 960);
  trove.display.displayState.displayMode = DisplayMode::movable1280;
  trove.display.displayState.zoom = 1;
  browser.pictureViews.cellWidth = browser.pictureViews.cellHeight = 200;
  AllocateFileList(browser.fileList);
  textureLoader.pixels = static_cast<std::uint8_t*>(std::malloc(pictureBufferBytes));
  std::snprintf(browser.browsedPath, pathBufferSize, "%s", folder);
  platform::GetCurrentDir(browser.workingDirectory, pathBufferSize);
  browser.fileList.thumbFirst = 1;
  return textureLoader.pixels != nullptr;
}
