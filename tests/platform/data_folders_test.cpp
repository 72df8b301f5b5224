// Where the Linux program finds its own files, judged from the executable's path.
#include "platform/native/data_folders.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(DataFoldersOf, BesideTheProgramOrInTheInstalledTree) {
  struct Case {
    const char* executable;
    std::set<std::string> directories;  // what exists
    const char* assets;
    const char* player;
  };
  const Case cases[] = {
      // A program folder: both beside the program.
      {"/home/me/dist-linux/trove", {}, "/home/me/dist-linux", "/home/me/dist-linux"},
      // Installed under a prefix, a package's or a staging folder's.
      {"/usr/bin/trove", {"/usr/share/trove"}, "/usr/share/trove", "/usr/lib/trove"},
      {"/bin/trove", {"/share/trove"}, "/share/trove", "/lib/trove"},
      // A folder named bin without the installed data beside it is a program folder.
      {"/opt/x/bin/trove", {"/opt/x/share"}, "/opt/x/bin", "/opt/x/bin"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.executable);
    const native::DataFolders folders = native::DataFoldersOf(
        c.executable, [&c](const std::string& path) { return c.directories.count(path) > 0; });
    EXPECT_EQ(folders.assets, c.assets);
    EXPECT_EQ(folders.player, c.player);
  }
}

}  // namespace
