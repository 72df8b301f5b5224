// The entries of the browsed directory as the last scan found them: names, kinds, the selection
// and where the list and the thumbnail pages start.
#pragma once

#include <cstdint>

#include "canvas/text.h"
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

// The first keep characters of an entry name as the platform shows it (all of it when it is
// shorter, none for a negative keep), at most the 255 a line holds.
TextLine NameCut(const char* name, int keep);

// Obtains the name slots and the kinds block (start-up).
void AllocateFileList(FileList& fileList);

// The selection names an entry of the current scan.
bool SelectionIsCurrent(const FileList& fileList);

// The entry of the current scan whose name is exactly name; 0 when there is none.
int FindEntry(const FileList& fileList, const char* name);
