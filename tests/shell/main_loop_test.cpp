// The main loop's passes, key dispatch, display modes and the overlay's notice line.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "browser/directory.h"
#include "browser/browser.h"
#include "browser/picture_sampling.h"
#include "browser/picture_view.h"
#include "browser/thumbnail_page.h"
#include "canvas/canvas.h"
#include "canvas/text.h"
#include "display/display.h"
#include "input/input.h"
#include "input/input_events.h"
#include "input/keys.h"
#include "input/pauses.h"
#include "pictures/texture_loader.h"
#include "shell/main_loop.h"
#include "shell/startup.h"
#include "shell/trove_main.h"
#include "support/program_fixture.h"

namespace {

class MainLoopTest : public ProgramTest {
 protected:
  void StartAt(int screenWidth, int screenHeight) {
    os().screenWidth = screenWidth;
    os().screenHeight = screenHeight;
    StartUp(trove);
    os().calls.clear();
    os().pauses.clear();
  }

  // Keys pressed before the pass, as the hooks latch them while the previous pass pumps.
  void PassWithKeys(std::initializer_list<int> keys) {
    for (int k : keys) KeyPressed(trove.input, k);
    RunPass(trove);
  }
};

TEST_F(MainLoopTest, DisplayModeSizesFollowTheScreen) {
  StartAt(1920, 1080);
  EXPECT_EQ(displayState.canvasWidth, 960);
  EXPECT_EQ(displayState.canvasHeight, 540);
  EXPECT_EQ(displayState.zoom, 2);
  EXPECT_FLOAT_EQ(browser.pictureViews.sampleStep, 4.0f);

  PassWithKeys({key::f6});
  EXPECT_EQ(displayState.displayMode, DisplayMode::movable1280);
  EXPECT_EQ(displayState.canvasWidth, 1280);
  EXPECT_EQ(displayState.canvasHeight, 960);
  EXPECT_EQ(displayState.zoom, 1);
  EXPECT_EQ(browser.pictureViews.cellWidth, 200);
  EXPECT_FLOAT_EQ(browser.pictureViews.sampleStep, 2.0f);
  ASSERT_FALSE(os().windowsCreated.empty());
  EXPECT_EQ(os().windowsCreated.back().width, 1280);
  EXPECT_EQ(os().windowsCreated.back().height, 960);

  os().screenWidth = 1366;
  os().screenHeight = 768;
  PassWithKeys({key::f8});
  EXPECT_EQ(displayState.displayMode, DisplayMode::wholeScreen);
  EXPECT_EQ(displayState.canvasWidth, 1366);
  EXPECT_EQ(displayState.canvasHeight, 768);
  EXPECT_EQ(displayState.screenWidth, 1366);

  PassWithKeys({key::f5});
  EXPECT_EQ(displayState.displayMode, DisplayMode::halfScreen);
  EXPECT_EQ(displayState.canvasWidth, 683);
  EXPECT_EQ(displayState.canvasHeight, 384);
  EXPECT_EQ(os().windowsCreated.back().width, 1366);
  EXPECT_EQ(browser.pictureViews.cellWidth, 140);
  EXPECT_FLOAT_EQ(browser.pictureViews.sampleStep, 3.0f);

  os().screenWidth = 1367;
  PassWithKeys({key::f5});
  EXPECT_EQ(displayState.canvasWidth, 682);

  // Start-up plus four re-creations: the cursor was hidden five times.
  EXPECT_EQ(os().cursorHides, 5);
  EXPECT_EQ(os().windowsReleased, 4);
}

TEST_F(MainLoopTest, EveryWindowCreationUploadsTheSevenCubeTextures) {
  StartAt(1920, 1080);
  ASSERT_EQ(os().uploads.size(), 7u);
  for (int keyCode : {key::f6, key::f8, key::f5}) {
    std::size_t before = os().uploads.size();
    PassWithKeys({keyCode});
    ASSERT_EQ(os().uploads.size(), before + 7);
    // New names in the new context.
    EXPECT_NE(os().uploads[before].name, os().uploads[before - 7].name);
  }
}

TEST_F(MainLoopTest, ModeChangeResetsScrollAndWindowAndRedrawsThumbnails) {
  StartAt(1920, 1080);
  displayState.scrollX = 30;
  displayState.scrollY = -40;
  displayState.windowX = 100;
  displayState.windowY = 50;
  browser.browserMode = BrowserMode{BrowserView::thumbnails};
  PassWithKeys({key::f6});
  EXPECT_EQ(displayState.scrollX, 0);
  EXPECT_EQ(displayState.scrollY, 0);
  EXPECT_EQ(displayState.windowX, 0);
  EXPECT_EQ(displayState.windowY, 0);
  EXPECT_EQ(browser.browserMode.thumbRedraw(), 1);
}

TEST_F(MainLoopTest, SeveralKeysActInOnePassAndAHeldKeyOnce) {
  StartAt(1920, 1080);
  // Auto-repeat delivers the same key-down many times before the next pass.
  os().pendingMessages.clear();
  headless::QueueKeyDown(key::digit0);
  headless::QueueKeyDown(key::digit0);
  headless::QueueKeyDown(key::digit0 + 7);
  headless::QueueKeyDown(key::digit0 + 6);
  RunPass(trove);  // the keys arrive while this pass pumps
  EXPECT_EQ(browser.pictureViews.overlayShown, 1);
  RunPass(trove);
  EXPECT_EQ(browser.pictureViews.overlayShown, 0);
  EXPECT_EQ(browser.pictureViews.placementMode, PlacementMode::centred);
  EXPECT_FLOAT_EQ(browser.pictureViews.sampleStep, 0.25f);
  EXPECT_EQ(os().pauses, std::vector<int>{pauseAfter::oneShotKey});
  RunPass(trove);
  EXPECT_EQ(browser.pictureViews.overlayShown, 0);
  EXPECT_FALSE(KeyDown(trove.input, key::digit0));

  PassWithKeys({key::digit0});
  EXPECT_EQ(browser.pictureViews.overlayShown, 1);
  PassWithKeys({key::digit0 + 1, key::digit0 + 9});
  EXPECT_FLOAT_EQ(browser.pictureViews.sampleStep, 1.0f);
  EXPECT_EQ(browser.pictureViews.placementMode, PlacementMode::followByNine);
}

TEST_F(MainLoopTest, EscapeCompletesThePass) {
  StartAt(1920, 1080);
  int presents = os().presents;
  PassWithKeys({key::escape, key::f6});
  EXPECT_EQ(trove.quitRequested, 1);
  EXPECT_EQ(os().presents, presents + 1);
  EXPECT_EQ(displayState.canvasWidth, 1280);  // F6 comes after Escape in the same pass
}

TEST_F(MainLoopTest, FollowMouseOnlyAtWidth1280) {
  StartAt(1920, 1080);
  os().cursor = {300, 200};
  PassWithKeys({key::m});
  EXPECT_TRUE(os().moves.empty());
  EXPECT_EQ(displayState.windowX, 0);

  PassWithKeys({key::f6});
  int hides = os().cursorHides;
  PassWithKeys({key::m});
  ASSERT_EQ(os().moves.size(), 1u);
  EXPECT_EQ(os().moves[0].x, 300);
  EXPECT_EQ(os().moves[0].y, 200);
  EXPECT_EQ(os().moves[0].width, 1280);
  EXPECT_EQ(os().moves[0].height, 960);
  EXPECT_EQ(displayState.windowX, 300);
  EXPECT_EQ(displayState.windowY, 200);
  EXPECT_EQ(os().cursorHides, hides + 1);

  // N after M in one pass maps the cursor against the window M has just moved: the list's
  // corner comes to the cursor, at the window's own top-left corner now.
  os().cursor = {350, 260};
  PassWithKeys({key::m, key::n});
  EXPECT_EQ(os().moves.back().x, 350);
  EXPECT_EQ(displayState.scrollX, 0);
  EXPECT_EQ(displayState.scrollY, -1);

  // A 2560-wide screen gives a 1280-wide canvas in the half-screen mode.
  os().screenWidth = 2560;
  os().screenHeight = 1440;
  PassWithKeys({key::f5});
  PassWithKeys({key::m});
  EXPECT_EQ(os().moves.size(), 3u);
}

// Right clicks on the overlay buttons and on empty canvas, at their real drawn positions.
class OverlayClickTest : public MainLoopTest {
 protected:
  void SetUp() override {
    MainLoopTest::SetUp();
    StartAt(1920, 1080);  // 960 x 540 canvas at zoom 2 in a 1920 x 1080 window
  }
  // A right click at canvas (x, y), latched before the pass as the hook would.
  void ClickAt(int x, int y) {
    os().cursor = {2 * x + 1, 1080 - 2 * y - 1};
    trove.input.mouseLatches.rightDown = 1;
    os().pauses.clear();
    RunPass(trove);
  }
};

TEST_F(OverlayClickTest, EmptyCanvasReturnsToTheListOnlyBelowTheTopThirtyRows) {
  browser.browserMode = BrowserMode{BrowserView::thumbnails};  // thumbnail view
  ClickAt(900, 515);                                           // empty, inside the top 30 rows
  EXPECT_EQ(browser.browserMode.listActive(), 0);
  EXPECT_TRUE(os().pauses.empty());
  ClickAt(900, 100);
  EXPECT_EQ(browser.browserMode.listActive(), 1);
  EXPECT_EQ(os().pauses, std::vector<int>{pauseAfter::click});
}

TEST_F(OverlayClickTest, ButtonsActOnTheirClicks) {
  ClickAt(270, 525);  // "THUMBNAILS"
  EXPECT_EQ(browser.browserMode.listActive(), 0);
  EXPECT_EQ(os().pauses, std::vector<int>{pauseAfter::click});
  ClickAt(362, 525);  // "BRACKETR"
  EXPECT_EQ(os().pauses, (std::vector<int>{pauseAfter::pageTurn, pauseAfter::click}));
  ClickAt(322, 525);  // "BRACKETL"
  EXPECT_EQ(os().pauses, (std::vector<int>{pauseAfter::pageTurn, pauseAfter::click}));
  ClickAt(270, 525);  // back to the list
  EXPECT_EQ(browser.browserMode.listActive(), 1);
  ClickAt(405, 525);  // "CENTERCENTER"
  EXPECT_EQ(displayState.scrollX, 320);
  EXPECT_EQ(displayState.scrollY, -180);
  EXPECT_EQ(os().pauses, std::vector<int>{pauseAfter::click});
}

TEST_F(OverlayClickTest, EachViewShowsItsOwnButtons) {
  const auto idAt = [this](int x, int y) {
    return canvas.pickBuffer[static_cast<std::size_t>(y) * displayState.canvasWidth + x];
  };
  RunPass(trove);  // the list: all four
  EXPECT_EQ(idAt(270, 525), pick::thumbnailsButton);
  EXPECT_EQ(idAt(362, 525), pick::bracketRightButton);
  EXPECT_EQ(idAt(405, 525), pick::centerButton);
  ShowThumbnails(browser.browserMode);
  RunPass(trove);  // the thumbnail page: no centre button
  EXPECT_EQ(idAt(270, 525), pick::thumbnailsButton);
  EXPECT_EQ(idAt(322, 525), pick::bracketLeftButton);
  EXPECT_EQ(idAt(405, 525), pick::none);
  ShowPicture(browser.browserMode);
  RunPass(trove);  // a picture: none at all
  EXPECT_EQ(idAt(270, 525), pick::none);
  EXPECT_EQ(idAt(362, 525), pick::none);
  EXPECT_EQ(idAt(405, 525), pick::none);
}

TEST_F(OverlayClickTest, WithoutTheOverlayTheButtonsAreNotThere) {
  browser.pictureViews.overlayShown = 0;
  RunPass(trove);  // the list view clears the PickBuffer every pass
  ClickAt(405, 525);
  EXPECT_EQ(displayState.scrollX, 0);
  EXPECT_TRUE(os().pauses.empty());
}

// The path line shows the browsed path as the platform shows names: the path of a directory
// named in UTF-8 looks exactly like the one of its code-page form.
TEST_F(MainLoopTest, ThePathLineShowsThePathAsThePlatformShowsNames) {
  StartAt(1920, 1080);
  os().narrowCodePage = true;
  auto frameWithPath = [&](const char* path) {
    FormatText(browser.browsedPath, sizeof browser.browsedPath, "%s", path);
    ForgetPresentedPass(trove.mainLoop);
    RunPass(trove);
    const std::uint8_t* frame = canvas.frameBuffer;
    const std::size_t bytes =
        static_cast<std::size_t>(displayState.canvasWidth) * displayState.canvasHeight * 4;
    return std::vector<std::uint8_t>(frame, frame + bytes);
  };
  const auto utf8 = frameWithPath("C:\\caf\xc3\xa9 \xe7\x9b\xb8\xe5\x86\x8c\\");
  const auto narrow = frameWithPath("C:\\caf? ??\\");
  const auto other = frameWithPath("C:\\cafe ab\\");
  EXPECT_TRUE(utf8 == narrow);
  EXPECT_FALSE(utf8 == other);
}

// A directory with more entries than the list holds: the notice line says how many are listed.
TEST_F(MainLoopTest, ACutListIsToldOnTheNoticeLine) {
  StartAt(1920, 1080);
  os().cursor = {1900, 10};  // the cursor cross far from the notice line
  const std::size_t row = static_cast<std::size_t>(displayState.canvasWidth) * 4;
  browser.entriesFound = 20000;
  RunPass(trove);
  const std::vector<std::uint8_t> cut(canvas.frameBuffer + 10 * row, canvas.frameBuffer + 24 * row);
  ClearCanvas(display);
  char notice[64];
  FormatText(notice, sizeof notice, "first %d of 20000 entries", browser.fileList.count);
  RenderText(display, notice, 12, 14, 255, 255, 0);
  EXPECT_EQ(
      cut, std::vector<std::uint8_t>(canvas.frameBuffer + 10 * row, canvas.frameBuffer + 24 * row));
}

TEST_F(MainLoopTest, NoticeLineRisesByTheHiddenPart) {
  EXPECT_EQ(NoticeLift(960, 1, 0, 1080), 0);
  EXPECT_EQ(NoticeLift(960, 1, 200, 1080), 80);
  EXPECT_EQ(NoticeLift(540, 2, 101, 1080), 50);  // 101 / 2 truncates
  EXPECT_EQ(NoticeLift(540, 2, 0, 1080), 0);
}

TEST_F(MainLoopTest, CloseRequestEndsTheProgramWithZero) {
  os().onPump = [] { headless::QueueCloseRequest(); };
  // Returning at all is the loop ending on the request.
  EXPECT_EQ(TroveMain(""), 0);
  // Shutdown released the canvas images.
  EXPECT_EQ(canvas.frameBuffer, nullptr);
  EXPECT_EQ(canvas.pickBuffer, nullptr);
}

TEST_F(MainLoopTest, LatchesAreClearedAtTheEndOfEveryPass) {
  StartAt(1920, 1080);
  trove.input.mouseLatches.rightDown = 1;
  trove.input.keyTable.down[200] = 1;
  RunPass(trove);
  EXPECT_EQ(trove.input.mouseLatches.rightDown, 0);
  EXPECT_EQ(trove.input.keyTable.down[200], 0);
}

// ---- Resting --------------------------------------------------------------------------------

class RestingTest : public MainLoopTest {
 protected:
  void SetUp() override {
    MainLoopTest::SetUp();
    StartAt(1920, 1080);
    os().keepFrames = true;
    os().cursor = {400, 300};
    RunPass(trove);  // draws what start-up left
  }
  int presents() const { return headless::state().presents; }
};

TEST_F(RestingTest, APassThatWouldRepeatTheFrameWaitsForInputInstead) {
  const int before = presents();
  RunPass(trove);
  ASSERT_EQ(presents(), before + 1);  // the first pass after start-up's own
  const std::vector<std::uint8_t> shown = os().presentedFrames.back();
  for (int i = 0; i < 5; ++i) {
    EXPECT_TRUE(PassWouldRepeat(trove));
    RunPass(trove);
  }
  EXPECT_EQ(presents(), before + 1);
  ASSERT_EQ(os().inputWaits.size(), 5u);
  for (int wait : os().inputWaits) {
    EXPECT_GT(wait, 0);
    EXPECT_LE(wait, 16);  // one refresh of a 60 Hz display at most
  }
  // What a full pass would present now is what is on screen.
  ForgetPresentedPass(trove.mainLoop);
  RunPass(trove);
  EXPECT_EQ(os().presentedFrames.back(), shown);
}

// The loop's report, asked for, tells each frame and each rest with the inputs handled so far
// and the cursor.
TEST_F(RestingTest, InputEndsTheRestAtOnce) {
  os().reportWanted = true;
  const int first = presents();
  // Passes until the loop rests, then the input; the pass after it must present.
  auto settleThen = [&](const std::function<void()>& input) {
    for (int i = 0; i < 3 && !PassWouldRepeat(trove); ++i) RunPass(trove);
    ASSERT_TRUE(PassWouldRepeat(trove));
    const int presented = presents();
    input();
    RunPass(trove);
    if (presents() == presented) RunPass(trove);  // that pass rested and its pumping delivered it
    EXPECT_EQ(presents(), presented + 1);
  };
  // A key.
  settleThen([] { headless::QueueKeyDown(key::comma); });
  EXPECT_EQ(os().pauses.back(), 30);
  // The cursor moved without an event: the cross follows at the next look.
  settleThen([&] { os().cursor = {420, 300}; });
  // Any window message (a repaint, say).
  settleThen([&] { os().pendingMessages.push_back([](Input&, WindowRequests&) {}); });
  // A right click.
  settleThen([] { headless::QueueRightClick(); });
  for (int i = 0; i < 3 && !PassWouldRepeat(trove); ++i) RunPass(trove);
  RunPass(trove);  // rests
  std::vector<std::string> rests;
  for (const std::string& line : os().reportLines) {
    if (line != "frame") rests.push_back(line);
  }
  EXPECT_EQ(os().reportLines.size() - rests.size(), static_cast<std::size_t>(presents() - first));
  EXPECT_EQ(rests, (std::vector<std::string>{"rest 0 400 300", "rest 1 420 300", "rest 1 420 300",
                                             "rest 2 420 300"}));
}

TEST_F(RestingTest, RequestsAndChangedStateAreDrawn) {
  RunPass(trove);
  RunPass(trove);
  ASSERT_TRUE(PassWouldRepeat(trove));
  const BrowserMode before = browser.browserMode;
  ShowThumbnails(browser.browserMode);
  EXPECT_FALSE(PassWouldRepeat(trove));
  browser.browserMode = before;
  browser.rescanRequested = 1;
  EXPECT_FALSE(PassWouldRepeat(trove));
  browser.rescanRequested = 0;
  // The canvas made anew, as a window message can have it.
  SetCanvasSize(trove.display, displayState.canvasWidth, displayState.canvasHeight);
  EXPECT_FALSE(PassWouldRepeat(trove));
  const int presented = presents();
  RunPass(trove);
  EXPECT_EQ(presents(), presented + 1);
  // The pass after a command is drawn even with nothing latched: the command changed state
  // after its pass had presented.
  PassWithKeys({key::digit0 + 9});
  EXPECT_FALSE(PassWouldRepeat(trove));
  RunPass(trove);
  EXPECT_EQ(presents(), presented + 3);
  EXPECT_TRUE(PassWouldRepeat(trove));
}

}  // namespace
