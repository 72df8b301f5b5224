// Where the Linux program finds its own files, judged from the executable's path.
#include "backends/posix/data_folders.h"

#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <string>

namespace {

// The game's asset folders in folder.
std::set<std::string> AssetFolders(const std::string& folder) {
  std::set<std::string> paths;
  for (const char* name : {"bmp_cross", "bmp_unit", "bmp_land", "bmp_dungeon", "bmp_item",
                           "bmp_structure", "bmp_scr", "bmp_cube"}) {
    paths.insert(folder + "/" + name);
  }
  return paths;
}

TEST(DataFoldersOf, BesideTheProgramOrInTheInstalledTree) {
  struct Case {
    const char* executable;
    std::set<std::string> directories;  // what exists
    std::set<std::string> files;
    const char* assets;
    const char* player;
    bool found;
  };
  std::set<std::string> installed = AssetFolders("/usr/bin");
  installed.insert("/usr/share/trove");
  const std::set<std::string> player = {"/opt/x/bin/spool"};
  const Case cases[] = {
      // A program folder: both beside the program, whatever lies there.
      {"/home/me/dist-linux/trove", {}, {}, "/home/me/dist-linux", "/home/me/dist-linux", true},
      // Installed under a prefix, a package's or a staging folder's, whatever lies in bin.
      {"/usr/bin/trove", installed, {"/usr/bin/spool"}, "/usr/share/trove", "/usr/lib/trove", true},
      {"/bin/trove", {"/share/trove"}, {}, "/share/trove", "/lib/trove", true},
      // A folder named bin without the installed data is a program folder when it is whole;
      // otherwise nothing beside it is used, and the installed folders are named as missing.
      {"/opt/x/bin/trove", AssetFolders("/opt/x/bin"), player, "/opt/x/bin", "/opt/x/bin", true},
      {"/opt/x/bin/trove",
       {"/opt/x/share"},
       player,
       "/opt/x/share/trove",
       "/opt/x/lib/trove",
       false},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE("case " + std::to_string(i));
    const native::DataFolders folders = native::DataFoldersOf(
        c.executable, [&c](const std::string& path) { return c.directories.count(path) > 0; },
        [&c](const std::string& path) { return c.files.count(path) > 0; });
    EXPECT_EQ(folders.assets, c.assets);
    EXPECT_EQ(folders.player, c.player);
    EXPECT_EQ(folders.found, c.found);
  }
}

}  // namespace
