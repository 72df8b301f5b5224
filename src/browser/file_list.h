// What the browser knows about the browsed directory: its entries, selection, view positions,
// the paths and the view state, held together in one Browser.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "browser/page_decoder.h"
#include "canvas/text.h"
#include "browser/thumbnail_cache.h"
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
  std::vector<std::size_t> starts;  // starts[k]: entry k's name in text, or noName
  std::vector<std::int32_t> kinds;
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

// The browser's view: the list, the picture view, or the thumbnail page, which is to be drawn
// (anew, from its first cell) or has been. The Show operations below and PageRedrawn change it.
enum class BrowserView { list, picture, thumbnailsToDraw, thumbnails };
struct BrowserMode {
  BrowserView view = BrowserView::list;

  bool listActive() const { return view == BrowserView::list; }
  bool pictureActive() const { return view == BrowserView::picture; }
  bool thumbRedraw() const { return view == BrowserView::thumbnailsToDraw; }
  bool operator==(const BrowserMode&) const = default;
};

// How the picture view follows the mouse: the picture centred on the pointer, or moving three or
// nine times as far as the pointer does (keys 7, 8 and 9). The value is that factor.
enum class PlacementMode : std::int32_t { centred = 0, followByThree = 3, followByNine = 9 };

// Thumbnail cell sizes: the small cells of the half-screen canvas (also before any display
// mode is chosen), the large ones of the 1280 x 960 and whole-screen canvases.
constexpr int smallCellSize = 140;
constexpr int largeCellSize = 200;

// The state of the page and picture views: the cell size of the next page, the picture the
// view shows, and how it shows it (kept here, apart from the loader that decodes it).
struct PictureViews {
  int cellWidth = smallCellSize;
  int cellHeight = smallCellSize;
  bool pictureLoaded = false;  // the last load of an entry decoded
  int pictureEntry = 0;        // the entry the picture view shows
  float sampleStep = 0.0f;     // picture view: source pixels between samples
  PlacementMode placementMode = PlacementMode::centred;
  bool overlayShown = false;  // the main loop draws the overlay while set

  bool operator==(const PictureViews&) const = default;
};

struct ThumbnailGrid {
  int columns;
  int rows;
};

// The cells of a page and the decodes of their pictures (the thumbnail page's own).
struct PageWork;

// The page begun last, with the canvas and cells it is laid out for.
struct ThumbnailPage {
  bool inProgress = false;
  bool complete = false;  // drawn whole, and nothing was begun since
  int first = 0;
  int last = -1;
  int next = 0;  // the entry whose cell is drawn next
  ThumbnailGrid grid = {0, 0};
  int cellWidth = 0;
  int cellHeight = 0;
  int canvasWidth = 0;
  int canvasHeight = 0;
  const std::uint8_t* frame = nullptr;
  std::unique_ptr<PageWork> work;
};

// The page in progress and the decoding around it. Ending it drops the pictures not started and
// waits for the decodes under way.
struct ThumbnailPages {
  // The one gate every decoder of the browser passes, so that the decodes of a page, of pages
  // left before they finished and of the page decoded ahead stay within one budget together.
  // Declared first, it outlives their workers.
  DecodeGate decodeGate;
  ThumbnailPage page;
  // The decoding of the page after the one on screen, and whether it ran to its end (every
  // picture decoded or failed) since that page began.
  std::unique_ptr<PageWork> ahead;
  bool aheadDone = false;
  // Work of pages left and of a stopped decoding ahead, until its workers end.
  std::vector<std::unique_ptr<PageWork>> leftWork;

  ThumbnailPages();
  ThumbnailPages(const ThumbnailPages&) = delete;
  ThumbnailPages& operator=(const ThumbnailPages&) = delete;
  ~ThumbnailPages();
};

// The browser: the file list, the paths, the view and everything the views keep. It owns the
// file list's storage and frees it when it ends.
struct Browser {
  FileList fileList;
  char browsedPath[pathBufferSize] = {};
  char workingDirectory[pathBufferSize] = {};
  bool rescanRequested = false;
  // Entries the last scan found, those beyond the list's reach included: more than count when
  // the directory holds more entries than the list can.
  int entriesFound = 0;
  BrowserMode browserMode;
  int nameLimit = 9;
  PictureViews pictureViews;
  ThumbnailCache thumbnailCache;
  ThumbnailPages thumbnailPages;

  Browser() = default;
  Browser(const Browser&) = delete;
  Browser& operator=(const Browser&) = delete;
  ~Browser();
};

// The list view.
void ShowList(BrowserMode& mode);
// The thumbnail page, drawn afresh in the next pass.
void ShowThumbnails(BrowserMode& mode);
// The single-picture view.
void ShowPicture(BrowserMode& mode);
// The thumbnail page that was to be drawn is being drawn: it is not started anew.
void PageRedrawn(BrowserMode& mode);
// Neither the list nor the picture: the thumbnail page is showing or about to be drawn.
bool ThumbnailsShown(const BrowserMode& mode);

// The first keep characters of an entry name as the platform shows it (all of it when it is
// shorter, none for a negative keep), at most the 255 a line holds.
TextLine NameCut(const char* name, int keep);

// Makes the table of entries, empty (start-up); the browser frees it when it ends.
void AllocateFileList(FileList& fileList);

// Stores name and kind as entry k (0 or more); a scan stores entries 1, 2, 3 ... in turn after
// ClearEntries. May throw std::bad_alloc.
void StoreEntry(FileList& fileList, int k, const char* name, EntryKind kind);
// Forgets every entry stored and frees their memory.
void ClearEntries(FileList& fileList);

// The most entries the browser lists of a directory: the platform's mostEntries.
int MostEntries();

// The selection names an entry of the current scan.
bool SelectionIsCurrent(const FileList& fileList);

// The entry of the current scan whose name is exactly name; 0 when there is none.
int FindEntry(const FileList& fileList, const char* name);
