// The directory scan and the two path operations, on paths alone and on real directories.
#include "browser/directory.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "browser_fixture.h"
#include "support/permissions.h"
#include "canvas/text.h"
#include "input/pauses.h"

namespace {

class DirectoryTest : public BrowserTest {
 protected:
  void SetUp() override {
    BrowserTest::SetUp();
    // Rescans of made-up paths fall back on a directory of our own, not the test's.
    SetPath(browser.workingDirectory, tree.root());
    std::filesystem::current_path(tree.root());
  }

  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (int k = 1; k <= browser.fileList.count; ++k) names.push_back(browser.fileList.names[k]);
    return names;
  }

  // Entry k of the current scan is the directory name, and it is selected.
  void SelectDirectory(int k, const char* name) {
    SetEntry(k, name, 0);
    if (browser.fileList.count < k) browser.fileList.count = k;
    browser.fileList.selection = k;
  }

  int Find(const std::string& name) const {
    for (int k = 1; k <= browser.fileList.count; ++k) {
      if (name == browser.fileList.names[k]) return k;
    }
    return 0;
  }

  // Names in the order the file system hands them out.
  static std::vector<std::string> DirectoryOrder(const std::string& path) {
    std::vector<std::string> names;
    DIR* dir = opendir(path.c_str());
    while (dirent* entry = readdir(dir)) names.push_back(entry->d_name);
    closedir(dir);
    return names;
  }

  TempTree tree;
};

std::string GoUpFrom(Browser& browser, const char* path, MouseLatches& latches) {
  std::snprintf(browser.browsedPath, pathBufferSize, "%s", path);
  Finish(GoUp(browser), latches);
  return browser.browsedPath;
}

std::string GoUpFrom(Browser& browser, const char* path) {
  MouseLatches latches;
  return GoUpFrom(browser, path, latches);
}

TEST_F(DirectoryTest, GoUpCutsTheLastComponent) {
  EXPECT_EQ(GoUpFrom(browser, "C:\\a\\b\\"), "C:\\a\\");
  EXPECT_EQ(GoUpFrom(browser, "C:\\a\\b"), "C:\\a\\");
  EXPECT_EQ(GoUpFrom(browser, "C:\\a\\"), "C:\\");
  EXPECT_EQ(GoUpFrom(browser, "C:\\a"), "C:\\");
  EXPECT_EQ(GoUpFrom(browser, "C:\\"), "C:");
  EXPECT_EQ(GoUpFrom(browser, "D:\\media\\photos\\"), "D:\\media\\");
  EXPECT_EQ(GoUpFrom(browser, "\\\\server\\share\\dir\\"), "\\\\server\\share\\");
  // Without any backslash the cut stops at index 2, which is never examined.
  EXPECT_EQ(GoUpFrom(browser, "abcdef"), "abc");
}

TEST_F(DirectoryTest, GoUpOnTwoCharactersOrFewerKeepsThePath) {
  EXPECT_EQ(GoUpFrom(browser, "C:"), "C:");
  EXPECT_EQ(GoUpFrom(browser, "C"), "C");
  EXPECT_EQ(GoUpFrom(browser, ""), "");
  EXPECT_TRUE(os().pauses.empty());
  EXPECT_EQ(browser.rescanRequested, 0);
}

TEST_F(DirectoryTest, PathOperationsFinishTheSameWay) {
  browser.fileList.selection = 7;
  browser.fileList.listFirst = 4;
  browser.browserMode.view = BrowserView::thumbnails;
  trove.input.mouseLatches.rightDown = 1;
  GoUpFrom(browser, "C:\\a\\", trove.input.mouseLatches);
  EXPECT_EQ(browser.fileList.selection, 1);
  EXPECT_EQ(browser.fileList.listFirst, 4);  // the view position is the list's own business
  EXPECT_EQ(browser.browserMode.listActive(), 1);
  EXPECT_EQ(browser.rescanRequested, 1);
  EXPECT_EQ(trove.input.mouseLatches.rightDown, 0);
  EXPECT_EQ(os().pauses, std::vector<int>{pauseAfter::viewSwitch});
  // The rescan listed what could be made current: the working directory (empty here).
  EXPECT_EQ(std::filesystem::current_path(), tree.root());
}

TEST_F(DirectoryTest, EnterDirectoryAndGoUpRoundTrip) {
  tree.Dir("media/photos");
  const std::string media = tree.root() + "\\media";
  SelectDirectory(3, "photos");
  SetPath(browser.browsedPath, media);
  Finish(EnterDirectory(browser), trove.input.mouseLatches);
  EXPECT_EQ(std::string(browser.browsedPath), media + "\\photos\\");
  EXPECT_EQ(browser.fileList.selection, 1);
  Finish(GoUp(browser), trove.input.mouseLatches);
  EXPECT_EQ(std::string(browser.browsedPath), media + "\\");

  // A trailing backslash is not doubled.
  SelectDirectory(1, "photos");
  Finish(EnterDirectory(browser), trove.input.mouseLatches);
  EXPECT_EQ(std::string(browser.browsedPath), media + "\\photos\\");
  EXPECT_EQ(os().pauses, (std::vector<int>{pauseAfter::viewSwitch, pauseAfter::viewSwitch,
                                           pauseAfter::viewSwitch}));
}

// A directory that vanished between the scan and the click, or one that is no directory, is
// not entered: the path, the list and the selection stay, and nothing is rescanned.
TEST_F(DirectoryTest, EnterDirectoryStaysWhereItWasWhenTheDirectoryCannotBeBrowsed) {
  tree.Dir("top/gone");
  tree.File("top/file.bin");
  const std::string top = tree.root() + "\\top\\";
  SetPath(browser.browsedPath, top);
  SetPath(browser.workingDirectory, startDirectory_.string());
  RescanBrowsedDirectory(browser);
  const std::vector<std::string> before = Names();
  std::filesystem::remove(tree.root() + "/top/gone");
  for (const char* name : {"gone", "file.bin"}) {
    browser.fileList.selection = Find(name);
    ASSERT_NE(browser.fileList.selection, 0) << name;
    trove.input.mouseLatches.rightDown = 1;
    browser.rescanRequested = 0;
    Finish(EnterDirectory(browser), trove.input.mouseLatches);
    EXPECT_EQ(std::string(browser.browsedPath), top) << name;
    EXPECT_EQ(Names(), before) << name;
    EXPECT_EQ(browser.fileList.selection, Find(name)) << name;
    EXPECT_EQ(trove.input.mouseLatches.rightDown, 0) << name;
    EXPECT_EQ(browser.rescanRequested, 0) << name;
    EXPECT_EQ(std::filesystem::current_path(), startDirectory_);
  }
  // An entry beyond the current scan is not entered either.
  browser.fileList.selection = browser.fileList.count + 1;
  SetEntry(browser.fileList.selection, "gone", 0);
  Finish(EnterDirectory(browser), trove.input.mouseLatches);
  EXPECT_EQ(std::string(browser.browsedPath), top);
  EXPECT_TRUE(os().pauses.empty());
}

TEST_F(DirectoryTest, EnterDirectoryRefusesPathsThatWouldNotFit) {
  // Real directories down to a base that leaves room for "\abc\" and not a character more:
  // entering it reaches the longest path the system takes.
  const std::size_t target = platform::longestPath - 5;
  std::string base = tree.root();
  std::string relative;
  while (base.size() < target) {
    const std::size_t remaining = target - base.size();
    const std::string part(remaining - 1 <= 200 ? remaining - 1 : 100, 'p');
    relative += (relative.empty() ? "" : "/") + part;
    base += "/" + part;
  }
  ASSERT_EQ(base.size(), target);
  tree.Dir(relative + "/abc");
  tree.Dir(relative + "/abcd");
  SelectDirectory(2, "abc");
  SetPath(browser.browsedPath, base + "\\");
  Finish(EnterDirectory(browser), trove.input.mouseLatches);
  EXPECT_EQ(std::string(browser.browsedPath), base + "\\abc\\");
  EXPECT_EQ(std::strlen(browser.browsedPath), platform::longestPath);

  // One more character and the path stays as it was, trailing backslash included.
  SelectDirectory(2, "abcd");
  SetPath(browser.browsedPath, base + "\\");
  trove.input.mouseLatches.rightDown = 1;
  os().pauses.clear();
  browser.rescanRequested = 0;
  Finish(EnterDirectory(browser), trove.input.mouseLatches);
  EXPECT_EQ(std::string(browser.browsedPath), base + "\\");
  EXPECT_EQ(trove.input.mouseLatches.rightDown, 0);
  EXPECT_EQ(browser.rescanRequested, 0);
  EXPECT_TRUE(os().pauses.empty());

  // The longest name a slot holds, below a directory where it does not exist.
  SetPath(browser.browsedPath, "C:\\");
  SelectDirectory(2, std::string(platform::longestName, 'n').c_str());
  Finish(EnterDirectory(browser), trove.input.mouseLatches);
  EXPECT_STREQ(browser.browsedPath, "C:\\");
}

TEST_F(DirectoryTest, ScanListsEveryEntryInFileSystemOrderWithItsKind) {
  std::string browsed = tree.Dir("top");
  tree.Dir("top/sub");
  tree.Dir("top/.hidden");
  tree.File("top/notes.txt", "hello");
  tree.File("top/My Picture.JPG", "x");
  tree.File("top/.profile");
  browser.fileList.selection = 5;
  browser.fileList.listFirst = 3;
  browser.fileList.thumbFirst = 2;
  // Backslashes separate the components wherever the path comes from.
  SetPath(browser.browsedPath, tree.root() + "\\top\\");
  SetPath(browser.workingDirectory, startDirectory_.string());

  RescanBrowsedDirectory(browser);
  EXPECT_EQ(Names(), DirectoryOrder(browsed));
  ASSERT_EQ(browser.fileList.count, 7);
  EXPECT_EQ(browser.fileList.kinds[Find(".")], 0);
  EXPECT_EQ(browser.fileList.kinds[Find("..")], 0);
  EXPECT_EQ(browser.fileList.kinds[Find("sub")], 0);
  EXPECT_EQ(browser.fileList.kinds[Find(".hidden")], 0);  // hidden, and a directory all the same
  EXPECT_EQ(browser.fileList.kinds[Find("notes.txt")], 1);
  EXPECT_EQ(browser.fileList.kinds[Find("My Picture.JPG")], 1);
  EXPECT_EQ(browser.fileList.kinds[Find(".profile")], 1);
  // The scan touches neither the view positions nor the paths, and the start directory is
  // current again.
  EXPECT_EQ(browser.fileList.selection, 5);
  EXPECT_EQ(browser.fileList.listFirst, 3);
  EXPECT_EQ(browser.fileList.thumbFirst, 2);
  EXPECT_EQ(std::string(browser.browsedPath), tree.root() + "\\top\\");
  EXPECT_EQ(std::filesystem::current_path(), startDirectory_);
}

TEST_F(DirectoryTest, EnteringAndLeavingARealDirectory) {
  tree.Dir("top/inner");
  tree.File("top/inner/deep.txt");
  tree.File("top/file.bin");
  SetPath(browser.browsedPath, tree.root() + "\\top");
  SetPath(browser.workingDirectory, startDirectory_.string());
  RescanBrowsedDirectory(browser);
  browser.fileList.selection = Find("inner");
  ASSERT_NE(browser.fileList.selection, 0);

  Finish(EnterDirectory(browser), trove.input.mouseLatches);
  EXPECT_EQ(std::string(browser.browsedPath), tree.root() + "\\top\\inner\\");
  EXPECT_NE(Find("deep.txt"), 0);
  EXPECT_EQ(Find("file.bin"), 0);
  EXPECT_EQ(std::filesystem::current_path(), startDirectory_);

  Finish(GoUp(browser), trove.input.mouseLatches);
  EXPECT_EQ(std::string(browser.browsedPath), tree.root() + "\\top\\");
  EXPECT_NE(Find("inner"), 0);
  EXPECT_NE(Find("file.bin"), 0);
}

TEST_F(DirectoryTest, AtMost2999EntriesAreKept) {
  std::string big = tree.Dir("big");
  for (int i = 0; i < 5000; ++i) tree.File("big/f" + std::to_string(i));
  SetEntry(2999, "left over", 0);
  SetPath(browser.browsedPath, big);
  SetPath(browser.workingDirectory, startDirectory_.string());
  RescanBrowsedDirectory(browser);
  ASSERT_EQ(browser.fileList.count, 2999);
  std::vector<std::string> order = DirectoryOrder(big);
  // Every entry is counted, those the list cannot hold too.
  EXPECT_EQ(browser.entriesFound, static_cast<int>(order.size()));
  EXPECT_GT(browser.entriesFound, 5000);
  order.resize(2999);
  EXPECT_EQ(Names(), order);
  EXPECT_STREQ(browser.fileList.names[2999], order.back().c_str());
  EXPECT_EQ(browser.fileList.kinds[2999], order.back() == "." || order.back() == ".." ? 0 : 1);
}

TEST_F(DirectoryTest, AnUnreadableDirectoryGivesAnEmptyList) {
  SetEntry(1, "earlier", 1);
  browser.fileList.count = 1;
  // A directory removed while current can still be current but has nothing to list.
  std::string gone = tree.Dir("gone");
  std::filesystem::current_path(gone);
  std::filesystem::remove(gone);
  SetPath(browser.browsedPath, gone);
  ScanDirectory(browser);
  EXPECT_EQ(browser.fileList.count, 0);
  EXPECT_EQ(std::string(browser.browsedPath), gone);
  std::filesystem::current_path(startDirectory_);

  // Without permission to read it (only for a user the permissions bind).
  if (geteuid() != 0) {
    std::string locked = tree.Dir("locked");
    tree.File("locked/secret");
    chmod(locked.c_str(), S_IXUSR);
    SetPath(browser.browsedPath, locked);
    SetPath(browser.workingDirectory, startDirectory_.string());
    browser.fileList.count = 5;
    RescanBrowsedDirectory(browser);
    EXPECT_EQ(browser.fileList.count, 0);
    chmod(locked.c_str(), S_IRWXU);
  }
}

// A browsed directory that vanished, or cannot be made current, still offers the way up
// instead of showing the start directory's entries under its name.
TEST_F(DirectoryTest, AVanishedBrowsedDirectoryListsTheWayUp) {
  tree.File("in-start-directory");
  std::string gone = tree.Dir("gone");
  tree.File("gone/photo.jpg");
  SetPath(browser.browsedPath, tree.root() + "\\gone\\");
  SetPath(browser.workingDirectory, tree.root());
  RescanBrowsedDirectory(browser);
  ASSERT_NE(Find("photo.jpg"), 0);
  std::filesystem::remove_all(gone);
  RescanBrowsedDirectory(browser);
  EXPECT_EQ(Names(), (std::vector<std::string>{".", ".."}));
  EXPECT_EQ(browser.fileList.kinds[1], 0);
  EXPECT_EQ(browser.fileList.kinds[2], 0);
  EXPECT_EQ(std::filesystem::current_path(), tree.root());
  // ".." takes the user back up, to a directory that lists again.
  Finish(GoUp(browser), trove.input.mouseLatches);
  EXPECT_EQ(std::string(browser.browsedPath), tree.root() + "\\");
  EXPECT_NE(Find("in-start-directory"), 0);
}

// A directory that can be made current but not listed is not entered; one that loses its
// permissions while browsed lists the way up.
TEST_F(DirectoryTest, AnUnlistableDirectoryIsNotEnteredAndOffersTheWayUp) {
  PermissionsBind bind;
  if (!bind.binding()) GTEST_SKIP() << "permissions cannot be made to bind here";
  std::string locked = tree.Dir("top/locked");
  tree.File("top/locked/secret");
  SetPath(browser.browsedPath, tree.root() + "\\top");
  SetPath(browser.workingDirectory, tree.root());
  RescanBrowsedDirectory(browser);
  chmod(locked.c_str(), S_IXUSR);
  browser.fileList.selection = Find("locked");
  ASSERT_NE(browser.fileList.selection, 0);
  Finish(EnterDirectory(browser), trove.input.mouseLatches);
  EXPECT_EQ(std::string(browser.browsedPath), tree.root() + "\\top");
  EXPECT_NE(Find("locked"), 0);

  SetPath(browser.browsedPath, locked);
  RescanBrowsedDirectory(browser);
  EXPECT_EQ(Names(), (std::vector<std::string>{".", ".."}));
  chmod(locked.c_str(), S_IRWXU);
}

TEST_F(DirectoryTest, AScanWithNoFileListStoresNothing) {
  Browser withoutList;
  SetPath(withoutList.browsedPath, tree.root());
  RescanBrowsedDirectory(withoutList);
  EXPECT_EQ(withoutList.fileList.count, 0);
}

}  // namespace
