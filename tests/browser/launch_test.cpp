// Starting the player on a file, placing its window, and opening the file explorer.
#include "browser/launch.h"

#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "browser/browser.h"
#include "canvas/canvas.h"
#include "display/display.h"
#include "input/input.h"
#include "input/keys.h"
#include "input/pauses.h"
#include "shell/commands.h"
#include "shell/main_loop.h"
#include "support/program_fixture.h"
#include "backends/win32/win32_conventions.h"

namespace {

// The parameter line the Windows program hands a started program, from its words.
std::string LineOf(const std::array<const char*, 3>& words) {
  return win32::ParameterLine(words.data(), words.size());
}
std::string LineOf(const headless::ProgramRun& run) {
  std::vector<const char*> words;
  for (const std::string& word : run.words) words.push_back(word.c_str());
  return win32::ParameterLine(words.data(), words.size());
}

class LaunchTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    ASSERT_NE(getcwd(startCwd, sizeof startCwd), nullptr);
    // The program makes its start directory current around each launch: use a real one. The
    // player lies in the program's data folder, another real directory.
    char startPattern[] = "/tmp/trove-launch-start-XXXXXX";
    ASSERT_NE(mkdtemp(startPattern), nullptr);
    startDir = startPattern;
    std::strcpy(browser.workingDirectory, startDir.c_str());
    char pattern[] = "/tmp/trove-launch-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    tempDir = pattern;
    os().playerFolder = tempDir;
    player = tempDir + "/spool.exe";
    std::fclose(std::fopen(player.c_str(), "wb"));

    SetCanvasSize(display, 960, 540);
    displayState.zoom = 2;
    displayState.screenWidth = 1920;
    displayState.screenHeight = 1080;
    os().windowRect = {0, 0, 1920, 1080};
    os().cursor = {400, 300};
    os().playerWindowTitles = {"Spool video and audio player"};

    AllocateFileList(browser.fileList);
    std::strcpy(browser.browsedPath, "D:\\My Videos\\");
    AddEntry("Season 1", 0);
    AddEntry("clip one.avi", 1);
    AddEntry("notes.txt", 1);
  }

  void TearDown() override {
    ASSERT_EQ(chdir(startCwd), 0);
    std::remove(player.c_str());
    std::remove((startDir + "/spool.exe").c_str());
    rmdir(tempDir.c_str());
    rmdir(startDir.c_str());
    ProgramTest::TearDown();
  }

  void AddEntry(const char* name, int kind) {
    int k = ++browser.fileList.count;
    StoreEntry(browser.fileList, k, name, static_cast<EntryKind>(kind));
  }

  // The list row of entry k lies under the cursor, as the list view would have drawn it.
  void PutRowUnderCursor(int k) {
    SetPickId(display, CursorCanvasX(displayState), CursorCanvasY(displayState), 12000 + k);
  }

  std::string PlayerExecutable() const { return tempDir + "\\spool.exe"; }

  char startCwd[4096] = {};
  std::string startDir;
  std::string tempDir;
  std::string player;
};

// ---- The texts handed to the player ----

TEST_F(LaunchTest, MediaPathKeepsTheDoubledBackslashAndTurnsSpacesIntoAsterisks) {
  static PlayerTexts texts;
  ASSERT_TRUE(BuildPlayerTexts("D:\\My Videos\\", "clip one.avi", "C:\\Trove", &texts));
  EXPECT_STREQ(texts.mediaPath, "D:\\My*Videos\\\\clip*one.avi");
  EXPECT_STREQ(texts.executable, "C:\\Trove\\spool.exe");
  EXPECT_EQ(LineOf(PlayerWords(texts)), " rightful D:\\My*Videos\\\\clip*one.avi 0 ");
}

TEST_F(LaunchTest, PunctuationInANameReachesThePlayerUnchanged) {
  static PlayerTexts texts;
  ASSERT_TRUE(BuildPlayerTexts("C:\\", "100% \"live\" %s%n%d &[x]; it's.mp3", "C:\\T", &texts));
  EXPECT_EQ(LineOf(PlayerWords(texts)), " rightful C:\\\\100%*\"live\"*%s%n%d*&[x];*it's.mp3 0 ");
}

TEST_F(LaunchTest, TextsThatWouldBeCutAreRefused) {
  static PlayerTexts texts;
  const std::size_t longest = launchTextSize - 1;
  // The parameter line adds 13 characters to the media path.
  std::string browsed(longest - 13 - 1 - 8, 'a');
  ASSERT_TRUE(BuildPlayerTexts(browsed.c_str(), "clip.avi", "C:\\T", &texts));
  EXPECT_EQ(LineOf(PlayerWords(texts)).size(), longest);
  browsed += 'a';
  EXPECT_FALSE(BuildPlayerTexts(browsed.c_str(), "clip.avi", "C:\\T", &texts));

  // A player folder too long for "\spool.exe".
  std::string folder(longest - 10, 'c');
  ASSERT_TRUE(BuildPlayerTexts("C:\\", "a", folder.c_str(), &texts));
  EXPECT_EQ(std::strlen(texts.executable), longest);
  folder += 'c';
  EXPECT_FALSE(BuildPlayerTexts("C:\\", "a", folder.c_str(), &texts));
}

// ---- LaunchPlayer ----

TEST_F(LaunchTest, LaunchStartsThePlayerOfTheDataFolderInTheStartDirectoryAndPauses) {
  browser.fileList.selection = 2;
  ASSERT_EQ(chdir("/"), 0);
  FinishCommand(trove, PlaySelected(trove));
  ASSERT_EQ(os().programsRun.size(), 1u);
  const headless::ProgramRun& run = os().programsRun[0];
  EXPECT_EQ(run.file, PlayerExecutable());
  EXPECT_EQ(LineOf(run), " rightful D:\\My*Videos\\\\clip*one.avi 0 ");
  char resolved[4096];
  ASSERT_NE(realpath(startDir.c_str(), resolved), nullptr);
  EXPECT_EQ(run.currentDirectory, resolved);
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_STREQ(cwd, resolved);
  EXPECT_EQ(os().pauses, std::vector<int>{pauseAfter::playerStart});
}

TEST_F(LaunchTest, APlayerThatDoesNotStartIsToldAndTheClickIsConsumed) {
  // The system refuses to start it, then it is missing altogether.
  os().programsStart = false;
  browser.fileList.selection = 2;
  FinishCommand(trove, PlaySelected(trove));
  EXPECT_EQ(os().programsRun.size(), 1u);
  std::remove(player.c_str());
  trove.input.mouseLatches.rightDown = 1;
  PutRowUnderCursor(2);
  PlayerClickCheck(trove);
  EXPECT_EQ(trove.input.mouseLatches.rightDown, 0);
  EXPECT_EQ(os().programsRun.size(), 1u);
  // A player window already open is still placed over the browser, after each start.
  EXPECT_EQ(os().moves.size(), 2u);
  ASSERT_EQ(os().messageBoxes.size(), 2u);
  for (const headless::MessageBoxCall& box : os().messageBoxes) {
    EXPECT_EQ(box.text, "The player could not be started: " + PlayerExecutable());
    EXPECT_EQ(box.caption, "ERROR");
  }
  EXPECT_EQ(os().pauses, (std::vector<int>{pauseAfter::playerStart, pauseAfter::playerStart}));
}

TEST_F(LaunchTest, APlayerOnlyInTheStartDirectoryOrNoDataFolderIsToldByName) {
  browser.fileList.selection = 2;
  std::rename(player.c_str(), (startDir + "/spool.exe").c_str());
  EXPECT_EQ(LaunchPlayer(browser), PlayerLaunch::notStarted);
  os().playerFolder = "";
  EXPECT_EQ(LaunchPlayer(browser), PlayerLaunch::notStarted);
  EXPECT_TRUE(os().programsRun.empty());
  ASSERT_EQ(os().messageBoxes.size(), 2u);
  EXPECT_EQ(os().messageBoxes[0].text, "The player could not be started: " + PlayerExecutable());
  // Without a data folder there is no path to name: the program's own name is given.
  EXPECT_EQ(os().messageBoxes[1].text, "The player could not be started: spool.exe");
}

TEST_F(LaunchTest, StaleOrOverlongSelectionStartsNothing) {
  // An entry of an earlier, longer directory still sits in slot 5.
  StoreEntry(browser.fileList, 5, "old.avi", entryFile);
  for (int selection : {0, 5, 3000}) {
    browser.fileList.selection = selection;
    FinishCommand(trove, PlaySelected(trove));
  }
  EXPECT_TRUE(os().programsRun.empty());
  EXPECT_TRUE(os().pauses.empty());
  EXPECT_TRUE(os().moves.empty());
}

// ---- PlayerClickCheck ----

TEST_F(LaunchTest, OnlyASecondClickOnTheSelectedFileLaunches) {
  // First click: the row under the cursor is not yet the selection (the browser's click
  // handling makes it so and consumes that click).
  browser.fileList.selection = 1;
  PutRowUnderCursor(2);
  trove.input.mouseLatches.rightDown = 1;
  PlayerClickCheck(trove);
  EXPECT_TRUE(os().programsRun.empty());
  EXPECT_EQ(trove.input.mouseLatches.rightDown, 1);

  browser.fileList.selection = 2;
  trove.input.mouseLatches.rightDown = 0;
  PlayerClickCheck(trove);  // no click latched
  EXPECT_TRUE(os().programsRun.empty());

  // Second click on the now selected row.
  trove.input.mouseLatches.rightDown = 1;
  PlayerClickCheck(trove);
  PlayerClickCheck(trove);  // the latch is consumed: the same click never launches twice
  ASSERT_EQ(os().programsRun.size(), 1u);
  EXPECT_EQ(LineOf(os().programsRun[0]), " rightful D:\\My*Videos\\\\clip*one.avi 0 ");
  EXPECT_EQ(trove.input.mouseLatches.rightDown, 0);
  ASSERT_EQ(os().moves.size(), 1u);
  EXPECT_EQ(os().moves[0].title, "Spool video and audio player");
}

TEST_F(LaunchTest, ClicksThatNeverLaunch) {
  struct Case {
    const char* what;
    int selection;
    int rowUnderCursor;  // 0: nothing clickable
    int listActive;
  };
  StoreEntry(browser.fileList, 7, "stale.avi", entryFile);
  const Case cases[] = {
      {"directory row", 1, 1, 1},  {"selection 0", 0, 0, 1},  {"stale selection", 7, 7, 1},
      {"thumbnail mode", 2, 2, 0}, {"empty canvas", 2, 0, 1},
  };
  for (const Case& c : cases) {
    browser.fileList.selection = c.selection;
    browser.browserMode.view = c.listActive ? BrowserView::list : BrowserView::thumbnails;
    SetPickId(display, CursorCanvasX(displayState), CursorCanvasY(displayState),
              c.rowUnderCursor ? 12000 + c.rowUnderCursor : 0);
    trove.input.mouseLatches.rightDown = 1;
    PlayerClickCheck(trove);
    EXPECT_TRUE(os().programsRun.empty()) << c.what;
    EXPECT_EQ(trove.input.mouseLatches.rightDown, 1) << c.what;
  }
  // An identifier that is not a list row (here the thumbnail of the selected entry) neither.
  browser.fileList.selection = 2;
  browser.browserMode.view = BrowserView::list;
  SetPickId(display, CursorCanvasX(displayState), CursorCanvasY(displayState), 4002);
  PlayerClickCheck(trove);
  EXPECT_TRUE(os().programsRun.empty());
}

TEST_F(LaunchTest, AFileOfTheLongestNameAtTheLongestPathIsPlayedWhole) {
  std::memset(browser.browsedPath, 'x', platform::longestPath);
  browser.browsedPath[platform::longestPath] = '\0';
  const std::string name(platform::longestName, 'n');
  StoreEntry(browser.fileList, 2, name.c_str(), static_cast<EntryKind>(browser.fileList.kinds[2]));
  browser.fileList.selection = 2;
  PutRowUnderCursor(2);
  trove.input.mouseLatches.rightDown = 1;
  PlayerClickCheck(trove);
  ASSERT_EQ(os().programsRun.size(), 1u);
  EXPECT_EQ(LineOf(os().programsRun[0]),
            " rightful " + std::string(browser.browsedPath) + "\\" + name + " 0 ");
  EXPECT_EQ(trove.input.mouseLatches.rightDown, 0);
}

// ---- The play key in a main-loop pass ----

TEST_F(LaunchTest, PlayKeyLaunchesOnlyOnACurrentFileSelectionInTheList) {
  struct Case {
    const char* what;
    int selection;
    int listActive;
    bool launches;
  };
  StoreEntry(browser.fileList, 9, "stale.avi", entryFile);
  const Case cases[] = {
      {"file in the list", 2, 1, true}, {"directory", 1, 1, false},
      {"selection 0", 0, 1, false},     {"stale selection", 9, 1, false},
      {"thumbnail mode", 2, 0, false},
  };
  for (const Case& c : cases) {
    os().programsRun.clear();
    os().moves.clear();
    browser.fileList.selection = c.selection;
    browser.browserMode.view = c.listActive ? BrowserView::list : BrowserView::thumbnails;
    trove.input.keyTable.down[key::p] = 1;
    RunPass(trove);
    EXPECT_EQ(os().programsRun.size(), c.launches ? 1u : 0u) << c.what;
    EXPECT_EQ(os().moves.size(), c.launches ? 1u : 0u) << c.what;
    EXPECT_EQ(trove.input.keyTable.down[key::p], 0) << c.what;
  }
}

TEST_F(LaunchTest, PlayKeyPlacesThePlayerAfterThePause) {
  browser.fileList.selection = 3;
  trove.input.keyTable.down[key::p] = 1;
  RunPass(trove);
  ASSERT_EQ(os().programsRun.size(), 1u);
  EXPECT_EQ(os().programsRun[0].file, PlayerExecutable());
  EXPECT_EQ(LineOf(os().programsRun[0]), " rightful D:\\My*Videos\\\\notes.txt 0 ");
  // The window is looked for only after the 340 ms pause.
  std::vector<std::string> order;
  for (const std::string& call : os().calls) {
    if (call == "RunProgram" || call == "MovePlayerWindow") order.push_back(call);
  }
  EXPECT_EQ(order, (std::vector<std::string>{"RunProgram", "MovePlayerWindow"}));
  ASSERT_FALSE(os().pauses.empty());
  EXPECT_EQ(os().pauses[0], pauseAfter::playerStart);
}

// ---- Placing the player's window ----

TEST_F(LaunchTest, PlayerStaysWithinTheBrowserWindowOnOtherWidths) {
  const struct {
    int scrollY;
    int y;
  } cases[] = {{0, 0}, {-100, 200}, {-400, 480}};
  for (const auto& c : cases) {
    os().moves.clear();
    displayState.scrollY = c.scrollY;
    PlacePlayerWindow(displayState);
    ASSERT_EQ(os().moves.size(), 1u);
    const headless::WindowMove& m = os().moves[0];
    EXPECT_EQ(m.title, "Spool video and audio player");
    EXPECT_EQ(m.x, 0);
    EXPECT_EQ(m.y, c.y) << c.scrollY;
    EXPECT_EQ(m.width, 600);
    EXPECT_EQ(m.height, 600);
  }
}

TEST_F(LaunchTest, PlayerXScalesScrollAndWindowOriginTogether) {
  displayState.scrollX = 10;
  displayState.windowX = 5;
  displayState.windowY = 7;
  PlayerPosition p = PlayerWindowPosition(displayState);
  EXPECT_EQ(p.x, 30);
  EXPECT_EQ(p.y, 7);  // the window origin is added unscaled
}

TEST_F(LaunchTest, On1280WideCanvasThePlayerKeepsItsBottomOnTheScreen) {
  DisplayState d;
  d.canvasWidth = 1280;
  d.canvasHeight = 400;
  d.zoom = 1;
  d.screenHeight = 1024;
  d.scrollY = -100;
  // Within the screen: the browser window's height is no limit here (400 - 600 would be).
  EXPECT_EQ(PlayerWindowPosition(d).y, 100);
  d.windowY = 300;
  EXPECT_EQ(PlayerWindowPosition(d).y, 400);
  // 100 + 400 + 600 reaches below 1024: the bottom edge is pulled up to the screen's.
  d.windowY = 400;
  EXPECT_EQ(PlayerWindowPosition(d).y, 1024 - 600);
  // Any other width keeps to the browser window's height instead.
  d.canvasWidth = 1279;
  d.windowY = 0;
  EXPECT_EQ(PlayerWindowPosition(d).y, -200);
}

// ---- The file explorer ----

TEST_F(LaunchTest, ExplorerGetsTheBrowsedPathUnquoted) {
  std::strcpy(browser.browsedPath, "C:\\Users\\Some One\\My Pictures\\");
  Finish(OpenExplorer(browser), trove.input.mouseLatches);
  ASSERT_EQ(os().programsRun.size(), 1u);
  EXPECT_EQ(os().programsRun[0].file, "explorer");
  EXPECT_EQ(LineOf(os().programsRun[0]), "C:\\Users\\Some One\\My Pictures\\");
  EXPECT_EQ(os().pauses, std::vector<int>{pauseAfter::oneShotKey});
}

TEST_F(LaunchTest, ExplorerKeyOpensTheExplorerInAnyView) {
  browser.browserMode.view = BrowserView::thumbnails;
  std::strcpy(browser.browsedPath, "E:\\100% done\\");
  trove.input.keyTable.down[key::f7] = 1;
  RunPass(trove);
  ASSERT_EQ(os().programsRun.size(), 1u);
  EXPECT_EQ(os().programsRun[0].file, "explorer");
  EXPECT_EQ(LineOf(os().programsRun[0]), "E:\\100% done\\");
}

}  // namespace
