// Where the Linux program's own files lie, judged from the executable's own path: beside it in
// a program folder, or in the installed tree around <prefix>/bin.
#pragma once

#include <functional>
#include <string>

namespace native {

struct DataFolders {
  std::string assets;  // the folder of the game's asset folders
  std::string player;  // the folder of the player program
  bool found = false;  // false: the two folders were looked for in vain, to be named only
};

// The program's own folders for the executable at the absolute path given. An executable in a
// folder named "bin" whose "../share/trove" is a directory is installed: its assets are in
// <prefix>/share/trove and its player in <prefix>/lib/trove. Without that directory the "bin"
// folder is a program folder only when the game's asset folders and the player (spool) lie in
// it; otherwise nothing is found, and the installed folders are the ones named as missing.
// Any other executable stands in its program folder, which holds both. isDirectory and isFile
// (a regular file) answer for a path.
DataFolders DataFoldersOf(const std::string& executable,
                          const std::function<bool(const std::string&)>& isDirectory,
                          const std::function<bool(const std::string&)>& isFile);

// The folders of the running executable, read once from /proc/self/exe and then kept, so
// that a program replaced on disk while it runs (a package upgrade) still finds them. Both
// empty, and not found, when the executable's path cannot be read.
const DataFolders& RunningDataFolders();

}  // namespace native
