// Scanning the browsed directory and moving the browsed path down and up by text alone.
#include "browser/directory.h"

#include <cstring>

#include "browser/file_list.h"
#include "canvas/text.h"
#include "input/input.h"
#include "input/pauses.h"
#include "platform/platform.h"

namespace {

// Stores one search result as entry n. Only the exact attribute value of a plain directory
// makes a directory entry; a hidden, read-only or unreadable directory is listed like a file.
void StoreEntry(int n, const char* name) {
  FormatText(fileList.names[n], nameSlotSize, "%s", name);
  std::uint32_t attributes = platform::FileAttributes(fileList.names[n]);
  fileList.kinds[n] = attributes == platform::attributeDirectory ? entryDirectory : entryFile;
}

// Fills the list from the current directory; false when the directory cannot be listed.
bool ScanCurrentDirectory() {
  char name[nameSlotSize];
  int n = 0;
  platform::DirectorySearch* search = platform::FindFirst("*.*", name, sizeof name);
  if (search) {
    StoreEntry(++n, name);
    while (n < maxEntries && platform::FindNext(search, name, sizeof name)) {
      StoreEntry(++n, name);
    }
    // The entries the slots cannot take are counted, so that the user can be told.
    int found = n;
    while (platform::FindNext(search, name, sizeof name)) ++found;
    entriesFound = found;
    platform::FindClose(search);
  } else {
    entriesFound = 0;
  }
  fileList.count = n;
  return search != nullptr;
}

// What a browsed directory that cannot be made current or listed (it vanished, or lost its
// permissions) shows: the way back up, never some other directory's entries.
void ListWayOut() {
  FormatText(fileList.names[1], nameSlotSize, "%s", ".");
  FormatText(fileList.names[2], nameSlotSize, "%s", "..");
  fileList.kinds[1] = 0;
  fileList.kinds[2] = 0;
  fileList.count = 2;
  entriesFound = 2;
}

// Whether path can be made current and listed; the start directory is current afterwards.
bool CanBrowse(const char* path) {
  if (!platform::SetCurrentDir(path)) return false;
  char name[nameSlotSize];
  platform::DirectorySearch* search = platform::FindFirst("*.*", name, sizeof name);
  platform::FindClose(search);
  platform::SetCurrentDir(workingDirectory);
  return search != nullptr;
}

// What entering or leaving a directory ends with.
void ShowNewDirectory(MouseLatches& latches) {
  RescanBrowsedDirectory();
  fileList.selection = 1;
  ShowList();
  rescanRequested = true;
  latches.rightDown = 0;
  platform::Pause(pauseAfter::viewSwitch);
}

}  // namespace

void ScanDirectory() {
  if (!fileList.names || !fileList.kinds) {
    fileList.count = 0;
    return;
  }
  // A directory that cannot be read is shown as an empty list.
  ScanCurrentDirectory();
}

void RescanBrowsedDirectory() {
  if (!fileList.names || !fileList.kinds) {
    fileList.count = 0;
    return;
  }
  // Listing whatever directory happens to be current would show it under browsedPath's name.
  const bool listed = platform::SetCurrentDir(browsedPath) && ScanCurrentDirectory();
  platform::SetCurrentDir(workingDirectory);
  if (!listed) ListWayOut();
}

void EnterDirectory(MouseLatches& latches) {
  int k = fileList.selection;
  if (!fileList.names || !SelectionIsCurrent()) {
    latches.rightDown = 0;
    return;
  }
  const char separator = platform::PlatformConventions().pathSeparator;
  std::size_t base = std::strlen(browsedPath);
  if (base > 0 && browsedPath[base - 1] == separator) --base;
  // The new path is built whole before it replaces browsedPath; one longer than any path the
  // system takes is refused rather than cut into some other directory's path.
  std::size_t name = strnlen(fileList.names[k], nameSlotSize);
  if (base + 1 + name + 1 > platform::longestPath) {
    latches.rightDown = 0;
    return;
  }
  char previous[pathBufferSize];
  std::memcpy(previous, browsedPath, sizeof previous);
  browsedPath[base] = '\0';
  char entered[pathBufferSize];
  FormatText(entered, sizeof entered, "%s%c%s%c", browsedPath, separator, fileList.names[k],
             separator);
  std::memcpy(browsedPath, entered, sizeof entered);
  // A directory that vanished since the scan, or that cannot be made current or listed, is
  // not entered: the browser stays where it was.
  if (!CanBrowse(browsedPath)) {
    std::memcpy(browsedPath, previous, sizeof previous);
    latches.rightDown = 0;
    return;
  }
  ShowNewDirectory(latches);
}

void GoUp(MouseLatches& latches) {
  const platform::Conventions& paths = platform::PlatformConventions();
  std::size_t len = std::strlen(browsedPath);
  // A bare root ("C:" on Windows, "/" on POSIX, or anything as short) has nothing to cut.
  if (len <= paths.rootLength) {
    latches.rightDown = 0;
    return;
  }
  // Drop the last character whatever it is, then everything back to the previous separator,
  // which stays; the root's own separator is never cut by this walk.
  --len;
  browsedPath[len] = '\0';
  while (len > paths.rootSeparator && browsedPath[len] != paths.pathSeparator) {
    browsedPath[len] = '\0';
    --len;
  }
  ShowNewDirectory(latches);
}
