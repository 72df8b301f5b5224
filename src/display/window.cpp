// Window creation and release with their message boxes, and GL set-up.
#include "display/window.h"

#include <cstdio>

#include "display/display.h"
#include "pictures/asset_catalogue.h"
#include "platform/platform.h"

namespace {

// What the user is told of each failed step, whatever the system calls it.
const char* CreationMessage(platform::WindowFailure failure) {
  switch (failure) {
    case platform::WindowFailure::registerWindowKind:
      return "Failed To Register The Window Class.";
    case platform::WindowFailure::createWindow:
      return "Window Creation Error.";
    case platform::WindowFailure::getDrawingSurface:
      return "Can't Create A GL Device Context.";
    case platform::WindowFailure::findPixelFormat:
      return "Can't Find A Suitable PixelFormat.";
    case platform::WindowFailure::applyPixelFormat:
      return "Can't Set The PixelFormat.";
    case platform::WindowFailure::createContext:
      return "Can't Create A GL Rendering Context.";
    case platform::WindowFailure::activateContext:
      return "Can't Activate The GL Rendering Context.";
    case platform::WindowFailure::none:
      break;
  }
  return "";
}

}  // namespace

bool OpenMainWindow(GameTextures& textures, const DisplayState& d) {
  char title[100];
  std::snprintf(title, sizeof title, "%s", "GAME");
  if (!OpenGlWindow(textures, title, d.canvasWidth * d.zoom, d.canvasHeight * d.zoom, 16)) {
    return false;
  }
  platform::HideSystemCursor();
  return true;
}

bool OpenGlWindow(GameTextures& textures, const char* title, int width, int height,
                  int colourBits) {
  platform::WindowFailure failure = platform::CreateGlWindow(title, width, height, colourBits);
  if (failure != platform::WindowFailure::none) {
    // A kind of window that could not be registered leaves nothing to release.
    if (failure != platform::WindowFailure::registerWindowKind) {
      CloseGlWindow();
    }
    platform::ShowMessageBox(CreationMessage(failure), "ERROR", platform::MessageIcon::exclamation);
    return false;
  }
  SetupProjection();
  InitGlState(textures);
  return true;
}

void CloseGlWindow() {
  static const struct {
    unsigned bit;
    const char* text;
  } releases[] = {
      {platform::releaseContextCurrent, "Release Of DC And RC Failed."},
      {platform::releaseContextDelete, "Release Rendering Context Failed."},
      {platform::releaseDrawingSurface, "Release Device Context Failed."},
      {platform::releaseWindow, "Could Not Release hWnd."},
      {platform::releaseWindowKind, "Could Not Unregister Class."},
  };
  unsigned failed = platform::ReleaseGlWindow();
  for (const auto& release : releases) {
    if (failed & release.bit) {
      platform::ShowMessageBox(release.text, "SHUTDOWN ERROR", platform::MessageIcon::information);
    }
  }
}

void SetupProjection() {
  platform::GlSetupProjection(320, 240, 45.0, static_cast<double>(4.0f / 3.0f),
                              static_cast<double>(0.1f), 100.0);
}

bool InitGlState(GameTextures& textures) {
  UploadCubeTextures(textures);
  platform::GlInitState();
  return true;
}
