// What the browser knows about the browsed directory: its entries, selection, view positions,
// the paths and the view state.
#pragma once

#include <cstdint>

constexpr int fileListSlots = 3000;  // slot 0 is never filled by a scan
constexpr int maxEntries = 2999;
constexpr int nameSlotSize = 260;
constexpr int pathBufferSize = 3000;

struct FileList {
  char (*names)[nameSlotSize] = nullptr;  // fileListSlots slots, entries in 1 .. count
  std::int32_t* kinds = nullptr;          // 0 = directory, 1 = anything else
  int count = 0;
  int selection = 1;  // 1-based; may point past count after a rescan
  int listFirst = 0;  // the list starts with entry listFirst + 1
  int thumbFirst = 1;
};

extern FileList fileList;
extern char browsedPath[pathBufferSize];
extern char workingDirectory[pathBufferSize];
extern int rescanRequested;

// The browser's view: list when listActive, picture when pictureActive, thumbnails otherwise.
struct BrowserMode {
  int listActive = 1;
  int pictureActive = 0;
  int thumbRedraw = 0;
};

extern BrowserMode browserMode;
extern int nameLimit;

// Obtains the name slots and the kinds block (start-up).
void AllocateFileList();

// The selection names an entry of the current scan.
bool SelectionIsCurrent();

// Back to the state before start-up (tests); releases the file list.
void ResetBrowserState();
