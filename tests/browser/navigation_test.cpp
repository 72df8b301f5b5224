// Clicks on list rows, scrolling and moving the list, thumbnail paging and the view switches,
// alone and as the main loop dispatches them.
#include <string>
#include <vector>

#include "browser/list_view.h"
#include "browser/picture_sampling.h"
#include "browser/picture_view.h"
#include "browser/thumbnail_page.h"
#include "browser_fixture.h"
#include "input/keys.h"
#include "input/pauses.h"
#include "shell/commands.h"
#include "shell/main_loop.h"
#include "shell/views.h"

namespace {

class NavigationTest : public BrowserTest {
 protected:
  void SetUp() override {
    BrowserTest::SetUp();
    // C:\a\ with "." and ".." first, a subdirectory and two files.
    SetPath(browser.browsedPath, "C:\\a\\");
    SetPath(browser.workingDirectory, tree.root());
    SetEntry(1, ".", 0);
    SetEntry(2, "..", 0);
    SetEntry(3, "photos", 0);
    SetEntry(4, "clip one.avi", 1);
    SetEntry(5, "Photos.lnk", 1);
    browser.fileList.count = 5;
    tree.File("only-entry");
    // Outside a scan the working directory is always the current one.
    std::filesystem::current_path(tree.root());
  }

  // The working directory: a rescan that cannot reach C:\a\ lists ".", ".." and one file.
  TempTree tree;
};

TEST_F(NavigationTest, FirstClickSelectsSecondClickActs) {
  ClickOn(12003);
  FinishCommand(trove, ShownView(trove).click(trove));
  EXPECT_EQ(browser.fileList.selection, 3);
  EXPECT_EQ(trove.input.mouseLatches.rightDown, 0);
  EXPECT_EQ(os().pauses, std::vector<int>{pauseAfter::click});
  EXPECT_STREQ(browser.browsedPath, "C:\\a\\");

  // Only a directory that exists is entered.
  ClickOn(12003);
  FinishCommand(trove, ShownView(trove).click(trove));
  EXPECT_STREQ(browser.browsedPath, "C:\\a\\");
  EXPECT_EQ(os().pauses, (std::vector<int>{pauseAfter::click, pauseAfter::directoryClick}));
  os().pauses.clear();
  tree.Dir("a/photos");
  SetPath(browser.browsedPath, tree.root() + "\\a\\");
  ClickOn(12003);
  FinishCommand(trove, ShownView(trove).click(trove));
  EXPECT_EQ(std::string(browser.browsedPath), tree.root() + "\\a\\photos\\");
  EXPECT_EQ(browser.fileList.selection, 1);
  EXPECT_EQ(browser.rescanRequested, 1);
  EXPECT_EQ(trove.input.mouseLatches.rightDown, 0);
  EXPECT_EQ(os().pauses, (std::vector<int>{pauseAfter::viewSwitch, pauseAfter::directoryClick}));
}

TEST_F(NavigationTest, SecondClickOnDotDotGoesUp) {
  browser.fileList.selection = 2;
  ClickOn(12002);
  FinishCommand(trove, ShownView(trove).click(trove));
  EXPECT_STREQ(browser.browsedPath, "C:\\");
  EXPECT_EQ(browser.fileList.selection, 1);
  EXPECT_EQ(browser.browserMode.listActive(), 1);
  EXPECT_EQ(os().pauses, (std::vector<int>{pauseAfter::viewSwitch, pauseAfter::directoryClick}));
}

TEST_F(NavigationTest, SecondClickOnDotOnlyPauses) {
  browser.fileList.selection = 1;
  ClickOn(12001);
  FinishCommand(trove, ShownView(trove).click(trove));
  EXPECT_STREQ(browser.browsedPath, "C:\\a\\");
  EXPECT_EQ(browser.fileList.count, 5);  // no rescan
  EXPECT_EQ(browser.rescanRequested, 0);
  EXPECT_EQ(os().pauses, std::vector<int>{pauseAfter::directoryClick});
}

TEST_F(NavigationTest, SecondClickOnAFileIsLeftToThePlayer) {
  browser.fileList.selection = 4;
  ClickOn(12004);
  FinishCommand(trove, ClickListRow(browser, display, trove.input.mouseLatches));
  EXPECT_EQ(trove.input.mouseLatches.rightDown, 1);
  EXPECT_TRUE(os().pauses.empty());
  EXPECT_STREQ(browser.browsedPath, "C:\\a\\");
}

TEST_F(NavigationTest, ClicksThatAreNotForTheList) {
  // No latch, nothing clickable, a button, a row outside the list view.
  ClickOn(12003);
  trove.input.mouseLatches.rightDown = 0;
  FinishCommand(trove, ShownView(trove).click(trove));
  ClickOn(0);
  FinishCommand(trove, ShownView(trove).click(trove));
  EXPECT_EQ(trove.input.mouseLatches.rightDown, 1);
  ClickOn(1200000);
  FinishCommand(trove, ShownView(trove).click(trove));
  browser.browserMode.view = BrowserView::thumbnails;
  ClickOn(12003);
  FinishCommand(trove, ShownView(trove).click(trove));
  EXPECT_EQ(browser.fileList.selection, 1);
  EXPECT_EQ(trove.input.mouseLatches.rightDown, 1);
  EXPECT_TRUE(os().pauses.empty());
}

TEST_F(NavigationTest, AStaleSelectionIsNotActedOn) {
  // A longer directory left a subdirectory in slot 9; the current scan holds five entries.
  SetEntry(9, "old", 0);
  browser.fileList.selection = 9;
  ClickOn(12009);
  FinishCommand(trove, ShownView(trove).click(trove));
  EXPECT_STREQ(browser.browsedPath, "C:\\a\\");
  EXPECT_EQ(browser.rescanRequested, 0);
  EXPECT_EQ(trove.input.mouseLatches.rightDown, 0);
  EXPECT_TRUE(os().pauses.empty());

  // Nor does the play key hand it to the player: no program is run, no window moved.
  SetEntry(9, "old.avi", 1);
  headless::QueueKeyDown(key::p);
  RunPass(trove);
  RunPass(trove);
  EXPECT_TRUE(os().programsRun.empty());
  EXPECT_TRUE(os().moves.empty());
}

TEST_F(NavigationTest, ScrollListByStaysWithinItsBounds) {
  browser.fileList.count = 10;
  Finish(ScrollListBy(browser, 24), trove.input.mouseLatches);
  EXPECT_EQ(browser.fileList.listFirst, 9);
  Finish(ScrollListBy(browser, -24), trove.input.mouseLatches);
  EXPECT_EQ(browser.fileList.listFirst, 0);
  Finish(ScrollListBy(browser, -1), trove.input.mouseLatches);
  EXPECT_EQ(browser.fileList.listFirst, 0);
  Finish(ScrollListBy(browser, 1), trove.input.mouseLatches);
  EXPECT_EQ(browser.fileList.listFirst, 1);
  browser.fileList.listFirst = 30;
  Finish(ScrollListBy(browser, -24), trove.input.mouseLatches);
  EXPECT_EQ(browser.fileList.listFirst, 6);
  // One row at a time goes past the last entry, up to the last slot.
  browser.fileList.listFirst = 2998;
  Finish(ScrollListBy(browser, 1), trove.input.mouseLatches);
  EXPECT_EQ(browser.fileList.listFirst, 2999);
  Finish(ScrollListBy(browser, 1), trove.input.mouseLatches);
  EXPECT_EQ(browser.fileList.listFirst, 2999);
  // An empty list stays at its start.
  browser.fileList.count = 0;
  browser.fileList.listFirst = 0;
  Finish(ScrollListBy(browser, 24), trove.input.mouseLatches);
  EXPECT_EQ(browser.fileList.listFirst, 0);
  EXPECT_EQ(os().pauses, std::vector<int>(8, pauseAfter::scrollStep));
}

TEST_F(NavigationTest, ThumbnailPagesMoveByAPageOfCells) {
  UseCanvas(640, 540, 1, 2);
  EXPECT_EQ(CellsPerPage(browser.pictureViews, displayState), 12);
  browser.fileList.thumbFirst = 3;
  displayState.scrollX = 40;
  displayState.scrollY = -40;
  Finish(PreviousThumbnailPage(browser, displayState), trove.input.mouseLatches);
  EXPECT_EQ(browser.fileList.thumbFirst, 1);
  EXPECT_EQ(displayState.scrollX, 0);
  EXPECT_EQ(displayState.scrollY, 0);
  EXPECT_EQ(browser.browserMode.listActive(), 0);
  EXPECT_EQ(browser.browserMode.thumbRedraw(), 1);

  browser.fileList.count = 20;
  browser.fileList.thumbFirst = 13;
  browser.browserMode.view = BrowserView::picture;
  Finish(NextThumbnailPage(browser, displayState), trove.input.mouseLatches);
  EXPECT_EQ(browser.fileList.thumbFirst, 20);
  EXPECT_EQ(browser.browserMode.pictureActive(), 0);
  browser.fileList.thumbFirst = 1;
  Finish(NextThumbnailPage(browser, displayState), trove.input.mouseLatches);
  EXPECT_EQ(browser.fileList.thumbFirst, 13);
  // An empty directory keeps the page at its first entry.
  browser.fileList.count = 0;
  Finish(NextThumbnailPage(browser, displayState), trove.input.mouseLatches);
  EXPECT_EQ(browser.fileList.thumbFirst, 1);
  EXPECT_EQ(os().pauses, std::vector<int>(4, pauseAfter::pageTurn));

  UseCanvas(960, 540, 1, 2);
  EXPECT_EQ(CellsPerPage(browser.pictureViews, displayState), 18);
  // A page turns by the cells of the grid the page is drawn in.
  UseCanvas(1280, 960, 0, 1);
  SetThumbnailCellSize(browser.pictureViews, largeCellSize);
  EXPECT_EQ(CellsPerPage(browser.pictureViews, displayState), 24);
  SetThumbnailCellSize(browser.pictureViews, 0);
  EXPECT_EQ(CellsPerPage(browser.pictureViews, displayState), 0);
}

TEST_F(NavigationTest, CentreAndMoveTheList) {
  trove.input.mouseLatches.rightDown = 1;
  Finish(CentreList(displayState), trove.input.mouseLatches);
  EXPECT_EQ(displayState.scrollX, 213);
  EXPECT_EQ(displayState.scrollY, -160);
  EXPECT_EQ(trove.input.mouseLatches.rightDown, 0);
  EXPECT_EQ(os().pauses, std::vector<int>{pauseAfter::click});

  PointAt(100, 300);
  MoveListToCursor(displayState);
  EXPECT_EQ(displayState.scrollX, 100);
  EXPECT_EQ(displayState.scrollY, 300 - 480);
}

TEST_F(NavigationTest, SwitchingBetweenListThumbnailsAndPicture) {
  browser.fileList.selection = 4;
  displayState.scrollX = 50;
  Finish(ToggleThumbnailView(browser, displayState), trove.input.mouseLatches);
  EXPECT_EQ(browser.browserMode.listActive(), 0);
  EXPECT_EQ(browser.browserMode.thumbRedraw(), 1);
  EXPECT_EQ(browser.fileList.thumbFirst, 4);
  EXPECT_EQ(displayState.scrollX, 0);
  Finish(ToggleThumbnailView(browser, displayState), trove.input.mouseLatches);
  EXPECT_EQ(browser.browserMode.listActive(), 1);
  EXPECT_EQ(browser.browserMode.thumbRedraw(), 0);
  browser.browserMode = BrowserMode{BrowserView::picture};
  Finish(ToggleThumbnailView(browser, displayState), trove.input.mouseLatches);
  EXPECT_EQ(browser.browserMode.pictureActive(), 0);
  EXPECT_EQ(browser.browserMode.thumbRedraw(), 1);
  EXPECT_EQ(os().pauses, std::vector<int>(3, pauseAfter::viewSwitch));
  os().pauses.clear();

  // The button rescans the browsed directory (here the working directory itself).
  SetPath(browser.browsedPath, tree.root());
  trove.input.mouseLatches.rightDown = 1;
  browser.browserMode = BrowserMode{BrowserView::list};
  Finish(ThumbnailsButton(browser, displayState), trove.input.mouseLatches);
  EXPECT_EQ(browser.browserMode.listActive(), 0);
  EXPECT_EQ(browser.browserMode.thumbRedraw(), 1);
  EXPECT_EQ(browser.fileList.count, 3);
  EXPECT_EQ(browser.fileList.thumbFirst, 4);
  EXPECT_EQ(trove.input.mouseLatches.rightDown, 0);
  Finish(ThumbnailsButton(browser, displayState), trove.input.mouseLatches);
  EXPECT_EQ(browser.browserMode.listActive(), 1);
  EXPECT_EQ(browser.browserMode.thumbRedraw(), 0);

  // Empty canvas: back to the list, rescanned, the latch left for the rest of the pass.
  browser.browserMode = BrowserMode{BrowserView::thumbnailsToDraw};
  browser.fileList.count = 5;
  trove.input.mouseLatches.rightDown = 1;
  Finish(ReturnToList(browser), trove.input.mouseLatches);
  EXPECT_EQ(browser.browserMode.listActive(), 1);
  EXPECT_EQ(browser.browserMode.thumbRedraw(), 0);
  EXPECT_EQ(browser.fileList.count, 3);
  EXPECT_EQ(trove.input.mouseLatches.rightDown, 1);
  EXPECT_EQ(os().pauses,
            (std::vector<int>{pauseAfter::click, pauseAfter::click, pauseAfter::click}));
}

TEST_F(NavigationTest, TheMainLoopDispatchesTheNavigationKeys) {
  auto press = [&](int key) {
    headless::QueueKeyDown(key);
    RunPass(trove);  // latched while the messages are pumped
    RunPass(trove);  // acted on
  };
  browser.fileList.count = 100;
  press(key::period);
  EXPECT_EQ(browser.fileList.listFirst, 1);
  press(key::rightShift);
  EXPECT_EQ(browser.fileList.listFirst, 25);
  press(key::comma);
  EXPECT_EQ(browser.fileList.listFirst, 24);
  press(key::leftShift);
  EXPECT_EQ(browser.fileList.listFirst, 0);
  PointAt(20, 100);
  press(key::n);
  EXPECT_EQ(displayState.scrollX, 20);
  EXPECT_EQ(displayState.scrollY, 100 - 480);
  // Each page draw rescans; the browsed directory holds enough for two pages.
  SetPath(browser.browsedPath, tree.root());
  for (int i = 0; i < 30; ++i) tree.File("entry " + std::to_string(i));
  browser.fileList.selection = 3;
  press(key::t);
  EXPECT_EQ(browser.browserMode.listActive(), 0);
  EXPECT_EQ(browser.fileList.thumbFirst, 3);
  press(key::rightBracket);
  EXPECT_EQ(browser.fileList.thumbFirst, 3 + CellsPerPage(browser.pictureViews, displayState));
  press(key::leftBracket);
  EXPECT_EQ(browser.fileList.thumbFirst, 3);
  press(key::t);
  EXPECT_EQ(browser.browserMode.listActive(), 1);
}

}  // namespace
