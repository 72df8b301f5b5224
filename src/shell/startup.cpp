// Start-up in its fixed order, shutdown, and the program from one to the other.
#include "shell/startup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "display/start_up_failure.h"
#include "browser/directory.h"
#include "browser/browser.h"
#include "browser/list_view.h"
#include "browser/picture_sampling.h"
#include "browser/picture_view.h"
#include "browser/thumbnail_page.h"
#include "browser/thumbnail_page.h"
#include "display/display.h"
#include "display/window.h"
#include "gamedata/world_tables.h"
#include "input/input.h"
#include "pictures/texture_loader.h"
#include "platform/platform.h"
#include "shell/main_loop.h"
#include "shell/trove.h"
#include "shell/trove_main.h"

void StartUp(Trove& trove) {
  Browser& browser = trove.browser;
  // A start directory that is gone, or longer than any path the system takes, cannot be shown
  // or left: the program says so rather than browse a nameless directory.
  if (!platform::GetCurrentDir(browser.workingDirectory, sizeof browser.workingDirectory)) {
    platform::ShowMessageBox("The current directory cannot be read.", "ERROR",
                             platform::MessageIcon::exclamation);
    platform::ExitProgram(1);
  }
  std::snprintf(browser.browsedPath, sizeof browser.browsedPath, "%s", browser.workingDirectory);

  DisplayState& d = trove.display.displayState;
  d.displayMode = DisplayMode::halfScreen;
  d.scale = platform::DisplayScale();
  SetCanvasSize(trove.display, HalfScreen(platform::ScreenWidth()) / d.scale,
                HalfScreen(platform::ScreenHeight()) / d.scale);
  d.zoom = 2 * d.scale;
  SetThumbnailCellSize(browser.pictureViews, smallCellSize);

  InitGameTables(trove.world, trove.textures, trove.display);

  if (!OpenMainWindow(trove.textures, d)) {
    // Its message box has been shown; without a window there is nothing to present into.
    platform::ExitProgram(1);
  }

  TextureLoader& textureLoader = trove.pictures.textureLoader;
  textureLoader.pixels = static_cast<std::uint8_t*>(std::malloc(pictureBufferBytes));
  if (!textureLoader.pixels) FailStartUpBlock("the picture buffer");

  // Everything else starts at its declared value: the list, its first entry selected, the
  // overlay shown, every fourth pixel sampled, nothing scrolled, the window in the corner.
  AllocateFileList(browser.fileList);
  RescanBrowsedDirectory(browser);
  // Input that arrived while the window was being made is not acted on.
  ClearInputLatches(trove.input);
  d.screenWidth = platform::ScreenWidth();
  d.screenHeight = platform::ScreenHeight();
}

void OpenStartFile(Trove& trove, const char* name) {
  Browser& browser = trove.browser;
  DisplayState& d = trove.display.displayState;
  const int entry = FindEntry(browser.fileList, name);
  if (entry == 0) return;
  LoadEntryPicture(browser, trove.pictures, entry);
  if (!browser.pictureViews.pictureLoaded) {
    SelectListEntry(browser, d, entry);
    return;
  }
  // As a right click on its thumbnail leaves it: the page that holds it drawn last, whose
  // first entry is the selection; T and a click go back to that page.
  browser.fileList.thumbFirst = PageFirstHolding(entry, CellsPerPage(browser.pictureViews, d));
  browser.fileList.selection = browser.fileList.thumbFirst;
  ShowLoadedPicture(browser, d, trove.pictures.pictureInfo, entry);
}

void ShutDown(Trove& trove) {
  ReleaseCanvas(trove.display);
  ReleaseGameTables(trove.world, trove.textures);
}

int TroveMain(const std::string& startFile) {
  // Large tables hang off it, not its own bytes: it lives on the main thread's stack.
  Trove trove;
  StartUp(trove);
  if (!startFile.empty()) OpenStartFile(trove, startFile.c_str());
  InstallInputHooks();
  RunMainLoop(trove);
  ShutDown(trove);
  // Decodes still running after the loop (ones the platform cannot stop) are not waited for:
  // the process ends beside them, its own shutdown done.
  if (PageDecodesUnderWay(trove.browser) || PictureOpeningsUnderWay(trove.browser)) {
    platform::EndBesideDecodes(0);
  }
  return 0;
}
