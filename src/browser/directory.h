// Scanning the browsed directory and moving the browsed path down and up.
#pragma once

#include "browser/browser.h"
#include "input/input.h"

// The rule for the current directory: the start directory is current at all times except while
// a directory's entries are read. This makes a directory current (the browsed one unless another
// is named) for its own lifetime, and the start directory again when it ends.
class InDirectory {
 public:
  explicit InDirectory(const Browser& browser, const char* path = nullptr);
  ~InDirectory();
  InDirectory(const InDirectory&) = delete;
  InDirectory& operator=(const InDirectory&) = delete;
  // The directory could be made current; while false the start directory is still current.
  bool entered() const { return entered_; }

 private:
  const Browser& browser_;
  bool entered_;
};

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
