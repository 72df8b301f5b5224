// The browser's paths with the Linux program's conventions: the slash as separator, going up
// stops at "/", the player and the explorer named as on Linux.
#include <string>
#include <vector>

#include "browser/directory.h"
#include "browser/launch.h"
#include "browser_fixture.h"

namespace {

class LinuxPathsTest : public BrowserTest {
 protected:
  void SetUp() override {
    BrowserTest::SetUp();
    os().posixConventions = true;
    SetPath(browser.workingDirectory, tree.root());
    std::filesystem::current_path(tree.root());
  }

  std::string GoUpFrom(const char* path) {
    SetPath(browser.browsedPath, path);
    Finish(GoUp(browser), trove.input.mouseLatches);
    return browser.browsedPath;
  }

  std::string Enter(const char* path, const char* name) {
    SetPath(browser.browsedPath, path);
    SetEntry(3, name, 0);
    browser.fileList.count = 3;
    browser.fileList.selection = 3;
    Finish(EnterDirectory(browser), trove.input.mouseLatches);
    return browser.browsedPath;
  }

  TempTree tree;
};

TEST_F(LinuxPathsTest, GoingUpCutsOneDirectoryAndStopsAtTheRoot) {
  EXPECT_EQ(GoUpFrom("/home/u/Pictures/"), "/home/u/");
  EXPECT_EQ(GoUpFrom("/home/u/Pictures"), "/home/u/");  // the start directory has no slash
  EXPECT_EQ(GoUpFrom("/home/"), "/");
  EXPECT_EQ(GoUpFrom("/home"), "/");
  EXPECT_EQ(GoUpFrom("/a/"), "/");
  trove.input.mouseLatches.rightDown = 1;
  EXPECT_EQ(GoUpFrom("/"), "/");
  EXPECT_EQ(trove.input.mouseLatches.rightDown, 0);
  EXPECT_EQ(GoUpFrom(""), "");
}

TEST_F(LinuxPathsTest, EnteringAppendsTheNameAndASlash) {
  EXPECT_EQ(Enter("/", "tmp"), "/tmp/");
  const std::string root = tree.root();
  tree.Dir("u/Pictures");
  tree.Dir("u/My Pictures");
  tree.Dir("data/a\\b");
  EXPECT_EQ(Enter((root + "/u").c_str(), "Pictures"), root + "/u/Pictures/");
  EXPECT_EQ(Enter((root + "/u/").c_str(), "My Pictures"), root + "/u/My Pictures/");
  // A backslash is an ordinary character of a Linux name.
  EXPECT_EQ(Enter((root + "/data/").c_str(), "a\\b"), root + "/data/a\\b/");
}

TEST_F(LinuxPathsTest, EnteringAndLeavingARealDirectoryListsIt) {
  tree.Dir("photos");
  tree.File("photos/B.jpg");
  tree.File("photos/a.bmp");
  std::string inside = Enter((tree.root() + "/").c_str(), "photos");
  EXPECT_EQ(inside, tree.root() + "/photos/");
  ASSERT_EQ(browser.fileList.count, 4);
  EXPECT_STREQ(browser.fileList.names[1], ".");
  EXPECT_STREQ(browser.fileList.names[2], "..");
  EXPECT_STREQ(browser.fileList.names[3], "a.bmp");
  EXPECT_STREQ(browser.fileList.names[4], "B.jpg");
  Finish(GoUp(browser), trove.input.mouseLatches);
  EXPECT_EQ(std::string(browser.browsedPath), tree.root() + "/");
}

TEST_F(LinuxPathsTest, TheExplorerIsOpenedOnTheBrowsedPath) {
  SetPath(browser.browsedPath, "/home/u/My Pictures/");
  Finish(OpenExplorer(browser), trove.input.mouseLatches);
  ASSERT_EQ(os().programsRun.size(), 1u);
  EXPECT_EQ(os().programsRun[0].file, "xdg-open");
  EXPECT_EQ(os().programsRun[0].words, std::vector<std::string>{"/home/u/My Pictures/"});
}

}  // namespace
