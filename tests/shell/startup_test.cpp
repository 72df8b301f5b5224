// Start-up order and initial state, window failures, and shutdown.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "browser/file_list.h"
#include "browser/picture_sampling.h"
#include "browser/picture_view.h"
#include "browser/thumbnail_page.h"
#include "display/display.h"
#include "display/window.h"
#include "display/window_events.h"
#include "input/input.h"
#include "pictures/texture_loader.h"
#include "shell/main_loop.h"
#include "shell/startup.h"
#include "support/program_fixture.h"

namespace {

using platform::WindowFailure;

class StartUpTest : public ProgramTest {
 protected:
  int IndexOf(const std::string& call) {
    auto it = std::find(os().calls.begin(), os().calls.end(), call);
    return it == os().calls.end() ? -1 : static_cast<int>(it - os().calls.begin());
  }
};

TEST_F(StartUpTest, BringsEverySubsystemIntoItsInitialState) {
  os().screenWidth = 1366;
  os().screenHeight = 768;
  trove.input.keyTable.down[65] = 1;
  trove.input.mouseLatches.rightDown = 1;
  StartUp(trove);

  EXPECT_EQ(displayState.displayMode, DisplayMode::halfScreen);
  EXPECT_EQ(displayState.canvasWidth, 683);
  EXPECT_EQ(displayState.canvasHeight, 384);
  EXPECT_EQ(displayState.zoom, 2);
  EXPECT_EQ(displayState.screenWidth, 1366);
  EXPECT_EQ(displayState.screenHeight, 768);
  EXPECT_EQ(browser.pictureViews.cellWidth, 140);
  EXPECT_EQ(browser.pictureViews.cellHeight, 140);
  EXPECT_EQ(browser.pictureViews.overlayShown, 1);
  EXPECT_FLOAT_EQ(browser.pictureViews.sampleStep, 4.0f);
  EXPECT_NE(textureLoader.pixels, nullptr);
  EXPECT_EQ(browser.fileList.selection, 1);
  EXPECT_EQ(browser.fileList.thumbFirst, 1);
  EXPECT_TRUE(browser.fileList.names);
  EXPECT_TRUE(browser.fileList.kinds);
  EXPECT_EQ(browser.browserMode.listActive(), 1);
  EXPECT_EQ(browser.browserMode.pictureActive(), 0);
  EXPECT_EQ(browser.browserMode.thumbRedraw(), 0);
  EXPECT_EQ(trove.input.keyTable.down[65], 0);
  EXPECT_EQ(trove.input.mouseLatches.rightDown, 0);
  EXPECT_STRNE(browser.workingDirectory, "");
  EXPECT_STREQ(browser.browsedPath, browser.workingDirectory);

  // The window: "GAME", twice the canvas, 16 colour bits, set up and then the cursor hidden.
  ASSERT_EQ(os().windowsCreated.size(), 1u);
  EXPECT_EQ(os().windowsCreated[0].title, "GAME");
  EXPECT_EQ(os().windowsCreated[0].width, 1366);
  EXPECT_EQ(os().windowsCreated[0].height, 768);
  EXPECT_EQ(os().windowsCreated[0].colourDepth, 16);
  EXPECT_LT(IndexOf("CreateGlWindow"), IndexOf("GlSetupProjection"));
  EXPECT_LT(IndexOf("GlSetupProjection"), IndexOf("GlInitState"));
  EXPECT_LT(IndexOf("GlInitState"), IndexOf("HideSystemCursor"));
  EXPECT_EQ(os().cursorHides, 1);

  ShutDown(trove);
  EXPECT_EQ(canvas.frameBuffer, nullptr);
  EXPECT_EQ(canvas.savedView, nullptr);
  EXPECT_EQ(canvas.pickBuffer, nullptr);
}

TEST_F(StartUpTest, FailedWindowCreationShowsItsMessageAndEndsWithOne) {
  struct Case {
    WindowFailure failure;
    const char* text;
    bool closesFirst;
  };
  const Case cases[] = {
      // Not a window's failure: the directory the program starts in was removed; nothing
      // can be browsed or left under an empty name, so no window opens.
      {WindowFailure::none, "The current directory cannot be read.", false},
      {WindowFailure::registerWindowKind, "Failed To Register The Window Class.", false},
      {WindowFailure::createWindow, "Window Creation Error.", true},
      {WindowFailure::getDrawingSurface, "Can't Create A GL Device Context.", true},
      {WindowFailure::findPixelFormat, "Can't Find A Suitable PixelFormat.", true},
      {WindowFailure::applyPixelFormat, "Can't Set The PixelFormat.", true},
      {WindowFailure::createContext, "Can't Create A GL Rendering Context.", true},
      {WindowFailure::activateContext, "Can't Activate The GL Rendering Context.", true},
  };
  for (const Case& c : cases) {
    // Each case starts a program of its own.
    Trove started;
    headless::Reset();
    os().failCreationAt = c.failure;
    const std::filesystem::path start = std::filesystem::current_path();
    if (c.failure == WindowFailure::none) {
      const std::filesystem::path gone =
          std::filesystem::temp_directory_path() / ("trove-start-gone-" + std::to_string(getpid()));
      std::filesystem::create_directory(gone);
      std::filesystem::current_path(gone);
      std::filesystem::remove(gone);
    }
    try {
      StartUp(started);
      ADD_FAILURE() << c.text << ": start-up went on";
    } catch (const headless::ProgramExit& e) {
      EXPECT_EQ(e.exitCode, 1);
    }
    std::filesystem::current_path(start);
    EXPECT_EQ(os().windowsCreated.empty(), c.failure == WindowFailure::none) << c.text;
    ASSERT_EQ(os().messageBoxes.size(), 1u) << c.text;
    EXPECT_EQ(os().messageBoxes[0].text, c.text);
    EXPECT_EQ(os().messageBoxes[0].caption, "ERROR");
    EXPECT_EQ(os().messageBoxes[0].icon, platform::MessageIcon::exclamation);
    EXPECT_EQ(os().windowsReleased, c.closesFirst ? 1 : 0) << c.text;
    if (c.closesFirst) {
      EXPECT_LT(IndexOf("ReleaseGlWindow"), IndexOf("ShowMessageBox"));
    }
    EXPECT_EQ(os().cursorHides, 0);
  }
}

TEST_F(StartUpTest, ReleaseFailuresAreEachReportedAndDoNotStopTheOthers) {
  os().failReleases =
      platform::releaseContextDelete | platform::releaseWindow | platform::releaseWindowKind;
  CloseGlWindow();
  ASSERT_EQ(os().messageBoxes.size(), 3u);
  EXPECT_EQ(os().messageBoxes[0].text, "Release Rendering Context Failed.");
  EXPECT_EQ(os().messageBoxes[1].text, "Could Not Release hWnd.");
  EXPECT_EQ(os().messageBoxes[2].text, "Could Not Unregister Class.");
  for (const auto& box : os().messageBoxes) {
    EXPECT_EQ(box.caption, "SHUTDOWN ERROR");
    EXPECT_EQ(box.icon, platform::MessageIcon::information);
  }
}

TEST_F(StartUpTest, CloseRequestRaisesTheWindowsFlagAndNothingElse) {
  WindowCloseRequested(trove.window);
  EXPECT_EQ(trove.window.closeRequested, 1);
  // The main loop, not the window, decides that the program ends.
  EXPECT_EQ(trove.quitRequested, 0);
  EXPECT_TRUE(os().calls.empty());
}

}  // namespace
