// Scanning the browsed directory and moving the browsed path down and up by text alone.
#include "browser/directory.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "browser/browser.h"
#include "canvas/text.h"
#include "input/input.h"
#include "input/pauses.h"
#include "platform/platform.h"

InDirectory::InDirectory(const Browser& browser, const char* path)
    : browser_(browser), entered_(platform::SetCurrentDir(path ? path : browser.browsedPath)) {}

InDirectory::~InDirectory() { platform::SetCurrentDir(browser_.workingDirectory); }

namespace {

// Fills the list from the current directory, at most the platform's most entries, each kept at
// its own length; false when the directory cannot be listed. Whatever else a directory carries
// (read-only, hidden, system, a reparse point), the listing says it is a directory to enter; a
// name whose kind cannot be read is listed like a file.
bool ScanCurrentDirectory(Browser& browser) {
  char name[nameSlotSize];
  platform::DirectoryEntry entry;
  int n = 0;
  ClearEntries(browser.fileList);
  platform::DirectoryListing* listing = platform::ListCurrentDirectory();
  if (listing) {
    const int most = MostEntries();
    // The entries the list cannot take are counted, so that the user can be told.
    int found = 0;
    try {
      // Where the platform has the whole listing at hand it is taken at once.
      platform::ListedEntries taken;
      if (platform::TakeEntries(listing, static_cast<std::size_t>(std::max(most, 0)), &taken)) {
        // StoreEntries takes the vectors over.
        const int count = static_cast<int>(taken.starts.size()) - 1;
        StoreEntries(browser.fileList, taken);
        n = count;
        found = n;
      }
      while (n < most && platform::NextEntry(listing, name, sizeof name, &entry)) {
        ++found;
        StoreEntry(browser.fileList, n + 1, name, entry.isDirectory ? entryDirectory : entryFile);
        ++n;
      }
    } catch (const std::bad_alloc&) {
      // A directory larger than the memory left lists the entries that fitted.
    }
    while (platform::NextEntry(listing, name, sizeof name, nullptr)) ++found;
    browser.entriesFound = found;
    platform::CloseListing(listing);
  } else {
    browser.entriesFound = 0;
  }
  browser.fileList.count = n;
  return listing != nullptr;
}

// What a browsed directory that cannot be made current or listed (it vanished, or lost its
// permissions) shows: the way back up, never some other directory's entries.
void ListWayOut(Browser& browser) {
  ClearEntries(browser.fileList);
  StoreEntry(browser.fileList, 1, ".", entryDirectory);
  StoreEntry(browser.fileList, 2, "..", entryDirectory);
  browser.fileList.count = 2;
  browser.entriesFound = 2;
}

// Whether path can be made current and listed; the start directory is current afterwards.
bool CanBrowse(const Browser& browser, const char* path) {
  const InDirectory in(browser, path);
  if (!in.entered()) return false;
  platform::DirectoryListing* listing = platform::ListCurrentDirectory();
  platform::CloseListing(listing);
  return listing != nullptr;
}

// What entering or leaving a directory ends with.
After ShowNewDirectory(Browser& browser) {
  RescanBrowsedDirectory(browser);
  browser.fileList.selection = 1;
  ShowList(browser.browserMode);
  browser.rescanRequested = true;
  return {pauseAfter::viewSwitch, true};
}

// A directory that is not entered or left still takes the click.
constexpr After notMoved{0, true};

}  // namespace

void ScanDirectory(Browser& browser) {
  if (!browser.fileList.names || !browser.fileList.kinds) {
    browser.fileList.count = 0;
    return;
  }
  // A directory that cannot be read is shown as an empty list.
  ScanCurrentDirectory(browser);
}

void RescanBrowsedDirectory(Browser& browser) {
  if (!browser.fileList.names || !browser.fileList.kinds) {
    browser.fileList.count = 0;
    return;
  }
  // Listing whatever directory happens to be current would show it under browsedPath's name.
  bool listed = false;
  {
    const InDirectory in(browser);
    listed = in.entered() && ScanCurrentDirectory(browser);
  }
  if (!listed) ListWayOut(browser);
}

After EnterDirectory(Browser& browser) {
  int k = browser.fileList.selection;
  if (!browser.fileList.names || !SelectionIsCurrent(browser.fileList)) {
    return notMoved;
  }
  const char separator = platform::PlatformConventions().pathSeparator;
  std::size_t base = std::strlen(browser.browsedPath);
  if (base > 0 && browser.browsedPath[base - 1] == separator) --base;
  // The new path is built whole before it replaces browsedPath; one longer than any path the
  // system takes is refused rather than cut into some other directory's path.
  std::size_t name = strnlen(browser.fileList.names[k], nameSlotSize);
  if (base + 1 + name + 1 > platform::longestPath) {
    return notMoved;
  }
  char previous[pathBufferSize];
  std::memcpy(previous, browser.browsedPath, sizeof previous);
  browser.browsedPath[base] = '\0';
  char entered[pathBufferSize];
  FormatText(entered, sizeof entered, "%s%c%s%c", browser.browsedPath, separator,
             browser.fileList.names[k], separator);
  std::memcpy(browser.browsedPath, entered, sizeof entered);
  // A directory that vanished since the scan, or that cannot be made current or listed, is
  // not entered: the browser stays where it was.
  if (!CanBrowse(browser, browser.browsedPath)) {
    std::memcpy(browser.browsedPath, previous, sizeof previous);
    return notMoved;
  }
  return ShowNewDirectory(browser);
}

After GoUp(Browser& browser) {
  const platform::Conventions& paths = platform::PlatformConventions();
  std::size_t len = std::strlen(browser.browsedPath);
  // A bare root ("C:" on Windows, "/" on POSIX, or anything as short) has nothing to cut.
  if (len <= paths.rootLength) {
    return notMoved;
  }
  // Drop the last character whatever it is, then everything back to the previous separator,
  // which stays; the root's own separator is never cut by this walk.
  --len;
  browser.browsedPath[len] = '\0';
  while (len > paths.rootSeparator && browser.browsedPath[len] != paths.pathSeparator) {
    browser.browsedPath[len] = '\0';
    --len;
  }
  return ShowNewDirectory(browser);
}
