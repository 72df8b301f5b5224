// Resetting the program-wide state of every subsystem.
#include "shell/reset.h"

#include <cstdlib>
#include <new>

#include "browser/file_list.h"
#include "browser/picture_views.h"
#include "browser/thumbnail_cache.h"
#include "display/display.h"
#include "gamedata/world_tables.h"
#include "input/input.h"
#include "pictures/texture_loader.h"
#include "shell/main_loop.h"

void ResetProgram() {
  quitRequested = 0;
  ForgetPresentedPass();
  ResetDisplayState();
  ClearInputLatches();
  ResetBrowserState();
  ReleaseGameTables();
  std::free(textureLoader.pixels);
  textureLoader.~TextureLoader();
  new (&textureLoader) TextureLoader();
  pictureInfo = PictureInfo{};
  cellWidth = 140;
  cellHeight = 140;
  pictureLoaded = 0;
  pictureEntry = 0;
  thumbnailCache.Clear();
}
