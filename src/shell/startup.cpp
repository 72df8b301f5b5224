// Start-up in its fixed order, shutdown, and the program from one to the other.
#include "shell/startup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "browser/directory.h"
#include "browser/file_list.h"
#include "browser/picture_views.h"
#include "display/display.h"
#include "display/window.h"
#include "gamedata/world_tables.h"
#include "input/input.h"
#include "pictures/texture_loader.h"
#include "platform/platform.h"
#include "shell/main_loop.h"

void FailStartUpBlock(const char* what) {
  char text[200];
  std::snprintf(text, sizeof text, "Not enough memory for %s.", what);
  platform::ShowMessageBox(text, "ERROR", platform::MessageIcon::exclamation);
  platform::ExitProgram(1);
}

void StartUp() {
  // The start directory: a path longer than 260 characters cannot be read and stays empty.
  if (!platform::GetCurrentDir(workingDirectory, 261) || std::strlen(workingDirectory) > 260) {
    workingDirectory[0] = '\0';
  }
  std::snprintf(browsedPath, sizeof browsedPath, "%s", workingDirectory);

  displayState.displayMode = 1;
  SetCanvasSize(HalfScreen(platform::ScreenWidth()), HalfScreen(platform::ScreenHeight()));
  displayState.zoom = 2;
  cellWidth = 140;
  cellHeight = 140;

  InitGameTables();

  if (!OpenMainWindow()) {
    // Its message box has been shown; without a window there is nothing to present into.
    platform::ExitProgram(1);
  }

  textureLoader.pixels = static_cast<std::uint8_t*>(std::malloc(pictureBufferBytes));
  if (!textureLoader.pixels) FailStartUpBlock("the picture buffer");

  textureLoader.overlayShown = 1;
  fileList.thumbFirst = 1;
  fileList.selection = 1;
  AllocateFileList();
  textureLoader.sampleStep = 4.0f;
  browserMode = BrowserMode{1, 0, 0};
  RescanBrowsedDirectory();
  ClearInputLatches();
  displayState.scrollX = 0;
  displayState.scrollY = 0;
  displayState.windowX = 0;
  displayState.windowY = 0;
  displayState.screenWidth = platform::ScreenWidth();
  displayState.screenHeight = platform::ScreenHeight();
}

void ShutDown() {
  ReleaseCanvas();
  ReleaseGameTables();
}

int TroveMain() {
  StartUp();
  InstallInputHooks();
  RunMainLoop();
  ShutDown();
  return 0;
}
