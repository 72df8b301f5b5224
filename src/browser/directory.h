// Scanning the browsed directory and moving the browsed path down and up.
#pragma once

#include "browser/file_list.h"
#include "input/input.h"

// Fills names, kinds and count from the current directory in the order the platform lists it
// (file-system order on Windows, the desktop's order in the Linux program), at most MostEntries().
void ScanDirectory(Browser& browser);
// Scans browsedPath with it made current, then makes workingDirectory current again.
void RescanBrowsedDirectory(Browser& browser);
// Appends the selected entry's name to browsedPath and shows that directory. Either way the
// click is taken; the view switch pauses only when the directory changed.
After EnterDirectory(Browser& browser);
// Cuts the last component off browsedPath and shows the parent.
After GoUp(Browser& browser);
