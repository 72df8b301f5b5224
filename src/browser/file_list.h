// The entries of the browsed directory as the last scan found them: names, kinds, the selection
// and where the list and the thumbnail pages start.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "canvas/text.h"
#include "platform/platform.h"

// The Windows program's list holds at most 2,999 entries; the Linux program's as many as the
// platform's mostEntries (platform Conventions).
constexpr int maxEntries = 2999;
// A buffer of this size holds any name the system lists, a path buffer any path it takes.
constexpr int nameSlotSize = static_cast<int>(platform::longestName) + 1;
constexpr int pathBufferSize = static_cast<int>(platform::longestPath) + 1;

// What a scanned entry is: a directory is entered, anything else is handed to the player.
enum EntryKind : std::int32_t {
  entryDirectory = 0,
  entryFile = 1,
};

// The entries' names and kinds, each name kept at its own length: the names back to back with
// their terminators and, per entry, where its name starts and what it is. Entry k is 1-based.
struct EntryTable {
  std::vector<char> text;
  std::vector<std::size_t> starts;        // starts[k]: entry k's name in text, or noName
  std::vector<std::uint8_t> directories;  // directories[k]: whether entry k is a directory
  static constexpr std::size_t noName = static_cast<std::size_t>(-1);
};

// Entry k's name and kind, read as names[k] and kinds[k] through the table the browser owns: an
// entry that was never stored (or not since the last scan) reads as the empty name of a file.
struct EntryNames {
  EntryTable* table = nullptr;
  const char* operator[](int k) const;
  explicit operator bool() const { return table != nullptr; }
  bool operator==(const EntryNames&) const = default;
};
struct EntryKinds {
  EntryTable* table = nullptr;
  std::int32_t operator[](int k) const;
  explicit operator bool() const { return table != nullptr; }
  bool operator==(const EntryKinds&) const = default;
};

struct FileList {
  EntryNames names;  // entries in 1 .. count
  EntryKinds kinds;  // an EntryKind per entry
  int count = 0;
  int selection = 1;  // 1-based; may point past count after a rescan
  int listFirst = 0;  // the list starts with entry listFirst + 1
  int thumbFirst = 1;

  bool operator==(const FileList&) const = default;
};

// The first keep characters of an entry name as the platform shows it (all of it when it is
// shorter, none for a negative keep), at most the 255 a line holds.
TextLine NameCut(const char* name, int keep);

// Makes the table of entries, empty (start-up); the browser frees it when it ends.
void AllocateFileList(FileList& fileList);

// Stores name and kind as entry k (0 or more); a scan stores entries 1, 2, 3 ... in turn after
// ClearEntries. May throw std::bad_alloc.
void StoreEntry(FileList& fileList, int k, const char* name, EntryKind kind);
// Stores the entries taken from a listing as the next entries in turn (1, 2, 3 ... after
// ClearEntries), taking over their text. May throw std::bad_alloc.
void StoreEntries(FileList& fileList, platform::ListedEntries& entries);
// Forgets every entry stored and frees their memory.
void ClearEntries(FileList& fileList);

// The most entries the browser lists of a directory: the platform's mostEntries.
int MostEntries();

// The selection names an entry of the current scan.
bool SelectionIsCurrent(const FileList& fileList);

// The entry of the current scan whose name is exactly name; 0 when there is none.
int FindEntry(const FileList& fileList, const char* name);
