// The browser: the file list, the paths, which view shows and everything the views keep.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "browser/file_list.h"
#include "browser/page_decoder.h"
#include "browser/thumbnail_cache.h"
#include "display/display.h"

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
  float sampleStep = 4.0f;     // picture view: source pixels between samples
  PlacementMode placementMode = PlacementMode::centred;
  bool overlayShown = true;  // the main loop draws the overlay while set
  // The Linux program's picture view shows the picture fitted to the canvas, reduced by area
  // averaging, in place of the samples every sampleStep source pixels.
  bool fitted = false;
  std::uint32_t loads = 0;  // pictures loaded so far: a fitted picture is reduced once per load

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
  // The decodes of the page a command asked for, begun before the command's pause; the page
  // takes them over as it begins, when it shows the same entries in cells of the same size.
  std::unique_ptr<PageWork> early;
  // Work of pages left and of a stopped decoding ahead, until its workers end.
  std::vector<std::unique_ptr<PageWork>> leftWork;

  ThumbnailPages();
  ThumbnailPages(const ThumbnailPages&) = delete;
  ThumbnailPages& operator=(const ThumbnailPages&) = delete;
  ~ThumbnailPages();
};

// The picture being opened, decoded on a thread of its own while the page stays on screen, and
// the openings left before they finished, until their threads end (picture_view.cpp). Ending
// them abandons their decodes and waits for their threads.
struct PictureOpening;
struct PictureAnimation;
struct PictureOpenings {
  std::unique_ptr<PictureOpening> pending;
  std::vector<std::unique_ptr<PictureOpening>> left;
  // The Linux program's animation of the picture shown, and animations left that still decode.
  std::unique_ptr<PictureAnimation> animation;
  std::vector<std::unique_ptr<PictureAnimation>> animationsLeft;

  PictureOpenings();
  PictureOpenings(const PictureOpenings&) = delete;
  PictureOpenings& operator=(const PictureOpenings&) = delete;
  ~PictureOpenings();
};

// The picture view's fitted picture as last reduced: for the load and the canvas size it was
// made for, its place on the canvas and its pixels (red, green, blue, alpha; bottom row first).
struct FittedPicture {
  std::uint32_t load = 0;
  int canvasWidth = 0;
  int canvasHeight = 0;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;
};

// The browser: the file list, the paths, the view and everything the views keep. It owns the
// file list's storage and frees it when it ends.
struct Browser {
  // Moved on by every change a pass that acted on no input can make: a picture opened or a frame
  // of an animation arriving, the list's name limit following the canvas.
  std::uint32_t revision = 0;
  FileList fileList;
  char browsedPath[pathBufferSize] = {};
  char workingDirectory[pathBufferSize] = {};
  bool rescanRequested = false;
  // Entries the last scan found, those beyond the list's slots included: more than count when
  // the directory holds more entries than the list can.
  int entriesFound = 0;
  BrowserMode browserMode;
  int nameLimit = 9;
  PictureViews pictureViews;
  FittedPicture fittedPicture;
  ThumbnailCache thumbnailCache;
  ThumbnailPages thumbnailPages;
  PictureOpenings pictureOpenings;

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

// The overlay's path line of the list and the thumbnail page: the browsed path, following the
// scroll offsets.
void DrawBrowsedPath(const Browser& browser, Display& display);
