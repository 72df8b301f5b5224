// The directory scan and the two path operations, on paths alone and on real directories.
#include "browser/directory.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "browser_fixture.h"
#include "canvas/text.h"
#include "input/pauses.h"

namespace {

class DirectoryTest : public BrowserTest {
 protected:
  void SetUp() override {
    BrowserTest::SetUp();
    // Rescans of made-up paths fall back on a directory of our own, not the test's.
    SetPath(workingDirectory, tree.root());
    std::filesystem::current_path(tree.root());
  }

  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (int k = 1; k <= fileList.count; ++k) names.push_back(fileList.names[k]);
    return names;
  }

  int Find(const std::string& name) const {
    for (int k = 1; k <= fileList.count; ++k) {
      if (name == fileList.names[k]) return k;
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

std::string GoUpFrom(const char* path) {
  std::snprintf(browsedPath, pathBufferSize, "%s", path);
  GoUp();
  return browsedPath;
}

TEST_F(DirectoryTest, GoUpCutsTheLastComponent) {
  EXPECT_EQ(GoUpFrom("C:\\a\\b\\"), "C:\\a\\");
  EXPECT_EQ(GoUpFrom("C:\\a\\b"), "C:\\a\\");
  EXPECT_EQ(GoUpFrom("C:\\a\\"), "C:\\");
  EXPECT_EQ(GoUpFrom("C:\\a"), "C:\\");
  EXPECT_EQ(GoUpFrom("C:\\"), "C:");
  EXPECT_EQ(GoUpFrom("D:\\media\\photos\\"), "D:\\media\\");
  EXPECT_EQ(GoUpFrom("\\\\server\\share\\dir\\"), "\\\\server\\share\\");
  // Without any backslash the cut stops at index 2, which is never examined.
  EXPECT_EQ(GoUpFrom("abcdef"), "abc");
}

TEST_F(DirectoryTest, GoUpOnTwoCharactersOrFewerKeepsThePath) {
  EXPECT_EQ(GoUpFrom("C:"), "C:");
  EXPECT_EQ(GoUpFrom("C"), "C");
  EXPECT_EQ(GoUpFrom(""), "");
  EXPECT_TRUE(os().pauses.empty());
  EXPECT_EQ(rescanRequested, 0);
}

TEST_F(DirectoryTest, PathOperationsFinishTheSameWay) {
  fileList.selection = 7;
  fileList.listFirst = 4;
  browserMode.listActive = 0;
  mouseLatches.rightDown = 1;
  GoUpFrom("C:\\a\\");
  EXPECT_EQ(fileList.selection, 1);
  EXPECT_EQ(fileList.listFirst, 4);  // the view position is the list's own business
  EXPECT_EQ(browserMode.listActive, 1);
  EXPECT_EQ(rescanRequested, 1);
  EXPECT_EQ(mouseLatches.rightDown, 0);
  EXPECT_EQ(os().pauses, std::vector<int>{pauseAfter::viewSwitch});
  // The rescan listed what could be made current: the working directory (empty here).
  EXPECT_EQ(std::filesystem::current_path(), tree.root());
}

TEST_F(DirectoryTest, EnterDirectoryAndGoUpRoundTrip) {
  SetEntry(3, "photos", 0);
  fileList.selection = 3;
  SetPath(browsedPath, "D:\\media");
  EnterDirectory();
  EXPECT_STREQ(browsedPath, "D:\\media\\photos\\");
  EXPECT_EQ(fileList.selection, 1);
  GoUp();
  EXPECT_STREQ(browsedPath, "D:\\media\\");

  // A trailing backslash is not doubled, and a bare drive gets its root back.
  SetEntry(1, "photos", 0);
  EnterDirectory();
  EXPECT_STREQ(browsedPath, "D:\\media\\photos\\");
  SetPath(browsedPath, "C:");
  SetEntry(1, "Windows", 0);
  EnterDirectory();
  EXPECT_STREQ(browsedPath, "C:\\Windows\\");
  EXPECT_EQ(os().pauses, (std::vector<int>{pauseAfter::viewSwitch, pauseAfter::viewSwitch,
                                           pauseAfter::viewSwitch, pauseAfter::viewSwitch}));
}

TEST_F(DirectoryTest, EnterDirectoryRefusesPathsThatWouldNotFit) {
  fileList.selection = 2;
  // 250 + "\" + 3 + "\" is exactly the 255 characters the TextBuffer holds.
  std::string base = "C:" + std::string(248, 'p');
  SetEntry(2, "abc", 0);
  SetPath(browsedPath, base + "\\");
  EnterDirectory();
  EXPECT_EQ(std::string(browsedPath), base + "\\abc\\");
  EXPECT_EQ(std::strlen(browsedPath), 255u);

  // One more character and the path stays as it was, trailing backslash included.
  fileList.selection = 2;
  SetEntry(2, "abcd", 0);
  SetPath(browsedPath, base + "\\");
  mouseLatches.rightDown = 1;
  os().pauses.clear();
  rescanRequested = 0;
  EnterDirectory();
  EXPECT_EQ(std::string(browsedPath), base + "\\");
  EXPECT_EQ(mouseLatches.rightDown, 0);
  EXPECT_EQ(rescanRequested, 0);
  EXPECT_TRUE(os().pauses.empty());

  // A start directory longer than the TextBuffer, and the longest name a slot holds.
  std::string longPath = "C:\\" + std::string(257, 'q');
  SetPath(browsedPath, longPath);
  SetEntry(2, "x", 0);
  EnterDirectory();
  EXPECT_EQ(std::string(browsedPath), longPath);
  SetPath(browsedPath, "C:\\");
  SetEntry(2, std::string(259, 'n').c_str(), 0);
  EnterDirectory();
  EXPECT_STREQ(browsedPath, "C:\\");
}

TEST_F(DirectoryTest, ScanListsEveryEntryInFileSystemOrderWithItsKind) {
  std::string browsed = tree.Dir("top");
  tree.Dir("top/sub");
  tree.Dir("top/.hidden");
  tree.File("top/notes.txt", "hello");
  tree.File("top/My Picture.JPG", "x");
  tree.File("top/.profile");
  fileList.selection = 5;
  fileList.listFirst = 3;
  fileList.thumbFirst = 2;
  // Backslashes separate the components wherever the path comes from.
  SetPath(browsedPath, tree.root() + "\\top\\");
  SetPath(workingDirectory, startDirectory_.string());

  RescanBrowsedDirectory();
  EXPECT_EQ(Names(), DirectoryOrder(browsed));
  ASSERT_EQ(fileList.count, 7);
  EXPECT_EQ(fileList.kinds[Find(".")], 0);
  EXPECT_EQ(fileList.kinds[Find("..")], 0);
  EXPECT_EQ(fileList.kinds[Find("sub")], 0);
  EXPECT_EQ(fileList.kinds[Find(".hidden")], 1);  // attributes 18, not 16
  EXPECT_EQ(fileList.kinds[Find("notes.txt")], 1);
  EXPECT_EQ(fileList.kinds[Find("My Picture.JPG")], 1);
  EXPECT_EQ(fileList.kinds[Find(".profile")], 1);
  // The scan touches neither the view positions nor the paths, and the start directory is
  // current again.
  EXPECT_EQ(fileList.selection, 5);
  EXPECT_EQ(fileList.listFirst, 3);
  EXPECT_EQ(fileList.thumbFirst, 2);
  EXPECT_EQ(std::string(browsedPath), tree.root() + "\\top\\");
  EXPECT_EQ(std::filesystem::current_path(), startDirectory_);
}

TEST_F(DirectoryTest, EnteringAndLeavingARealDirectory) {
  tree.Dir("top/inner");
  tree.File("top/inner/deep.txt");
  tree.File("top/file.bin");
  SetPath(browsedPath, tree.root() + "\\top");
  SetPath(workingDirectory, startDirectory_.string());
  RescanBrowsedDirectory();
  fileList.selection = Find("inner");
  ASSERT_NE(fileList.selection, 0);

  EnterDirectory();
  EXPECT_EQ(std::string(browsedPath), tree.root() + "\\top\\inner\\");
  EXPECT_NE(Find("deep.txt"), 0);
  EXPECT_EQ(Find("file.bin"), 0);
  EXPECT_EQ(std::filesystem::current_path(), startDirectory_);

  GoUp();
  EXPECT_EQ(std::string(browsedPath), tree.root() + "\\top\\");
  EXPECT_NE(Find("inner"), 0);
  EXPECT_NE(Find("file.bin"), 0);
}

TEST_F(DirectoryTest, AtMost2999EntriesAreKept) {
  std::string big = tree.Dir("big");
  for (int i = 0; i < 5000; ++i) tree.File("big/f" + std::to_string(i));
  SetEntry(2999, "left over", 0);
  SetPath(browsedPath, big);
  SetPath(workingDirectory, startDirectory_.string());
  RescanBrowsedDirectory();
  ASSERT_EQ(fileList.count, 2999);
  std::vector<std::string> order = DirectoryOrder(big);
  order.resize(2999);
  EXPECT_EQ(Names(), order);
  EXPECT_STREQ(fileList.names[2999], order.back().c_str());
  EXPECT_EQ(fileList.kinds[2999], order.back() == "." || order.back() == ".." ? 0 : 1);
}

TEST_F(DirectoryTest, AnUnreadableDirectoryGivesAnEmptyList) {
  SetEntry(1, "earlier", 1);
  fileList.count = 1;
  // A directory removed while current can still be current but has nothing to list.
  std::string gone = tree.Dir("gone");
  std::filesystem::current_path(gone);
  std::filesystem::remove(gone);
  SetPath(browsedPath, gone);
  ScanDirectory();
  EXPECT_EQ(fileList.count, 0);
  EXPECT_EQ(std::string(browsedPath), gone);
  std::filesystem::current_path(startDirectory_);

  // Without permission to read it (only for a user the permissions bind).
  if (geteuid() != 0) {
    std::string locked = tree.Dir("locked");
    tree.File("locked/secret");
    chmod(locked.c_str(), S_IXUSR);
    SetPath(browsedPath, locked);
    SetPath(workingDirectory, startDirectory_.string());
    fileList.count = 5;
    RescanBrowsedDirectory();
    EXPECT_EQ(fileList.count, 0);
    chmod(locked.c_str(), S_IRWXU);
  }
}

TEST_F(DirectoryTest, AScanWithNoFileListStoresNothing) {
  ResetBrowserState();
  SetPath(browsedPath, tree.root());
  RescanBrowsedDirectory();
  EXPECT_EQ(fileList.count, 0);
}

}  // namespace
