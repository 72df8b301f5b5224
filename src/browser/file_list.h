// What the browser knows about the browsed directory: its entries, selection, view positions,
// the paths and the view state.
#pragma once

#include <cstdint>

#include "platform/platform.h"

constexpr int fileListSlots = 3000;  // slot 0 is never filled by a scan
constexpr int maxEntries = 2999;
// A slot holds any name the system lists, a path buffer any path it takes.
constexpr int nameSlotSize = static_cast<int>(platform::longestName) + 1;
constexpr int pathBufferSize = static_cast<int>(platform::longestPath) + 1;

// What a scanned entry is: a directory is entered, anything else is handed to the player.
enum EntryKind : std::int32_t {
  entryDirectory = 0,
  entryFile = 1,
};

struct FileList {
  char (*names)[nameSlotSize] = nullptr;  // fileListSlots slots, entries in 1 .. count
  std::int32_t* kinds = nullptr;          // an EntryKind per entry
  int count = 0;
  int selection = 1;  // 1-based; may point past count after a rescan
  int listFirst = 0;  // the list starts with entry listFirst + 1
  int thumbFirst = 1;

  bool operator==(const FileList&) const = default;
};

extern FileList fileList;
extern char browsedPath[pathBufferSize];
extern char workingDirectory[pathBufferSize];
extern bool rescanRequested;
// Entries the last scan found, those beyond the list's slots included: more than count when
// the directory holds more entries than the list can.
extern int entriesFound;

// The browser's view: list when listActive, picture when pictureActive, thumbnails otherwise.
// Only the three Show operations below change it, always all three flags together.
struct BrowserMode {
  bool listActive = true;
  bool pictureActive = false;
  bool thumbRedraw = false;

  bool operator==(const BrowserMode&) const = default;
};

extern BrowserMode browserMode;
extern int nameLimit;

// The list view.
void ShowList();
// The thumbnail page, drawn afresh in the next pass.
void ShowThumbnails();
// The single-picture view.
void ShowPicture();
// Neither the list nor the picture: the thumbnail page is showing or about to be drawn.
bool ThumbnailsShown();

// Formats the first keep characters of an entry name as the platform shows it (all of it when
// it is shorter, none for a negative keep) into the TextBuffer, which holds at most 255 of them.
void FormatNameCut(const char* name, int keep);

// Obtains the name slots and the kinds block (start-up).
void AllocateFileList();

// The selection names an entry of the current scan.
bool SelectionIsCurrent();

// Back to the state before start-up (tests); releases the file list.
void ResetBrowserState();
