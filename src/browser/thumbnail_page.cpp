// The thumbnail page in progress, the pages left before they were complete, and the page
// decoded ahead. Workers decode; this thread identifies the entries, draws the cells in page
// order and keeps the thumbnails.
#include "browser/thumbnail_page.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "browser/directory.h"
#include "browser/list_view.h"
#include "browser/browser.h"
#include "browser/page_decoder.h"
#include "browser/picture_sampling.h"
#include "browser/picture_view.h"
#include "browser/thumbnail_cache.h"
#include "canvas/canvas.h"
#include "canvas/text.h"
#include "display/display.h"
#include "input/pauses.h"
#include "pictures/picture_samples.h"
#include "pictures/texture_loader.h"
#include "platform/platform.h"

// One cell of a page as this thread sees it before anything is decoded.
struct PageCell {
  bool identified = false;  // the browsed directory could be made current to identify it
  PictureIdentity identity;
  bool stamped = false;  // the file's size and time are known, so the cell may be kept
  ThumbnailKey key;
  bool cached = false;
  PictureSamples samples;  // a copy of the kept thumbnail when cached
  int job = -1;            // index of its decode, -1 for none
  std::string caption;     // the entry's name when the page began
};

// The cells of a page, the decodes of their pictures, and which results were taken already.
struct PageWork {
  int first = 0;  // the entry of the first cell
  int cellWidth = 0;
  int cellHeight = 0;
  std::vector<PageCell> cells;
  std::unique_ptr<PageDecoder> decoder;
  std::vector<char> taken;  // per job
  bool ahead = false;       // decoded ahead: kept only in room the cache has free
};

namespace {

// White frames and captions.
constexpr std::uint8_t white = 255;

// Identifies the entries first .. last, as LoadEntryPicture would, in the browsed directory,
// and finds their kept thumbnails; the pictures that must be decoded become jobs.
std::vector<PageCell> PreparePageCells(Browser& browser, TextureLoader& textureLoader, int first,
                                       int last, std::vector<PageJob>* jobs) {
  std::vector<PageCell> cells(static_cast<std::size_t>(std::max(last - first + 1, 0)));
  for (int k = first; k <= last; ++k) {
    cells[static_cast<std::size_t>(k - first)].caption = browser.fileList.names[k];
  }
  // Without a PictureBuffer the loader decodes nothing, so neither does the page.
  const bool loaderReady = textureLoader.pixels != nullptr;
  // When the browsed directory cannot be made current (it vanished after the scan), no cell is
  // identified: the start directory's files of the same names must not be shown in their place.
  const InDirectory in(browser);
  if (!in.entered()) return cells;
  for (int k = first; k <= last; ++k) {
    PageCell& cell = cells[static_cast<std::size_t>(k - first)];
    char name[nameSlotSize];
    FormatText(name, sizeof name, "%s", browser.fileList.names[k]);
    cell.identified = true;
    textureLoader.ClassifyName(name, &cell.identity);
    if (!loaderReady || !cell.identity.decodable || !cell.identity.pathFits) continue;
    cell.key.path = cell.identity.fullPath;
    cell.key.cellWidth = browser.pictureViews.cellWidth;
    cell.key.cellHeight = browser.pictureViews.cellHeight;
    cell.stamped = platform::ReadFileStamp(cell.identity.fullPath, &cell.key.stamp);
    if (cell.stamped) {
      if (const PictureSamples* kept = browser.thumbnailCache.Find(cell.key)) {
        cell.cached = true;
        cell.samples = *kept;
        continue;
      }
    }
    PageJob job;
    job.path = cell.identity.fullPath;
    job.cellWidth = browser.pictureViews.cellWidth;
    job.averaged = platform::PlatformConventions().desktopWays;
    job.keyed = textureLoader.colourKeyEnabled == 1;
    std::memcpy(job.key, textureLoader.colourKey, sizeof job.key);
    cell.job = static_cast<int>(jobs->size());
    jobs->push_back(std::move(job));
  }
  return cells;
}

std::unique_ptr<PageWork> StartPageWork(Browser& browser, TextureLoader& textureLoader, int first,
                                        int last, bool ahead) {
  auto work = std::make_unique<PageWork>();
  work->first = first;
  work->cellWidth = browser.pictureViews.cellWidth;
  work->cellHeight = browser.pictureViews.cellHeight;
  std::vector<PageJob> jobs;
  work->cells = PreparePageCells(browser, textureLoader, first, last, &jobs);
  work->taken.assign(jobs.size(), 0);
  work->ahead = ahead;
  const int workers = PageWorkerCount(jobs.size());
  work->decoder = std::make_unique<PageDecoder>(std::move(jobs), workers,
                                                browser.thumbnailPages.decodeGate, ahead);
  return work;
}

// The decodes of the page that starts with first, laid out for the canvas of d.
std::unique_ptr<PageWork> StartPageWorkFrom(Browser& browser, const DisplayState& d,
                                            TextureLoader& textureLoader, int first, bool ahead) {
  const ThumbnailGrid grid =
      ThumbnailGridSize(d.canvasWidth, d.canvasHeight, browser.pictureViews.cellWidth,
                        browser.pictureViews.cellHeight);
  return StartPageWork(browser, textureLoader, first,
                       ThumbnailLastEntry(first, grid, browser.fileList.count), ahead);
}

// Takes the results of the finished decodes not taken yet and keeps their thumbnails.
void KeepFinished(ThumbnailCache& thumbnailCache, PageWork& work) {
  for (PageCell& cell : work.cells) {
    if (cell.job < 0) continue;
    const auto job = static_cast<std::size_t>(cell.job);
    if (work.taken[job] || !work.decoder->Ready(job)) continue;
    work.taken[job] = 1;
    PageResult result = work.decoder->Result(job);
    if (!result.decoded || !cell.stamped) continue;
    if (work.ahead && !thumbnailCache.HasRoomFor(cell.key, result.samples)) continue;
    thumbnailCache.Insert(cell.key, std::move(result.samples));
  }
}

// Leaves the loader's state as LoadEntryPicture leaves it after the same outcome.
void TakePageLoad(PictureViews& views, Pictures& pictures, const PictureIdentity& identity,
                  bool decoded, const PictureSamples& samples) {
  TextureLoader& textureLoader = pictures.textureLoader;
  PictureInfo& pictureInfo = pictures.pictureInfo;
  views.pictureLoaded = false;
  textureLoader.TakeIdentity(identity, &pictureInfo);
  if (!identity.decodable) return;
  if (decoded) {
    textureLoader.TakeDecodedSize(samples.pictureWidth, samples.pictureHeight, &pictureInfo);
  }
  views.pictureLoaded = decoded;
}

// Every picture load turns the overlay back on and resets the placement. A page does that once,
// as it begins, for all of its pictures: a command given while the page is drawn stays, as it
// would right after the page.
void TakePagePlacement(PictureViews& views, const std::vector<PageCell>& cells) {
  for (const PageCell& cell : cells) {
    if (cell.identified && cell.identity.decodable) {
      views.placementMode = PlacementMode::followByThree;
      views.overlayShown = true;
      return;
    }
  }
}

void Leave(ThumbnailPages& pages, std::unique_ptr<PageWork>& work) {
  if (!work) return;
  work->decoder->Stop();
  pages.leftWork.push_back(std::move(work));
}

// The early decodes when they are this page's: the same entries, by name, in cells of the same
// size. Otherwise they are left like a page.
std::unique_ptr<PageWork> TakeEarlyWork(Browser& browser, int first, int last) {
  ThumbnailPages& pages = browser.thumbnailPages;
  std::unique_ptr<PageWork> work = std::move(pages.early);
  if (!work) return nullptr;
  bool same = work->first == first &&
              work->cells.size() == static_cast<std::size_t>(std::max(last - first + 1, 0)) &&
              work->cellWidth == browser.pictureViews.cellWidth &&
              work->cellHeight == browser.pictureViews.cellHeight;
  for (int k = first; same && k <= last; ++k) {
    same = work->cells[static_cast<std::size_t>(k - first)].caption == browser.fileList.names[k];
  }
  if (same) return work;
  Leave(pages, work);
  return nullptr;
}

void BeginPage(Browser& browser, Display& display, TextureLoader& textureLoader) {
  ThumbnailPage& page = browser.thumbnailPages.page;
  Leave(browser.thumbnailPages, page.work);
  const DisplayState& d = display.displayState;
  browser.nameLimit = ThumbnailNameLimit(d.canvasWidth, browser.nameLimit);
  PageRedrawn(browser.browserMode);
  ClearCanvas(display);
  page.grid = ThumbnailGridSize(d.canvasWidth, d.canvasHeight, browser.pictureViews.cellWidth,
                                browser.pictureViews.cellHeight);
  RescanBrowsedDirectory(browser);
  if (browser.fileList.thumbFirst <= 0) browser.fileList.thumbFirst = 1;
  page.first = browser.fileList.thumbFirst;
  page.last = browser.fileList.names
                  ? ThumbnailLastEntry(page.first, page.grid, browser.fileList.count)
                  : page.first - 1;
  page.next = page.first;
  page.cellWidth = browser.pictureViews.cellWidth;
  page.cellHeight = browser.pictureViews.cellHeight;
  page.canvasWidth = d.canvasWidth;
  page.canvasHeight = d.canvasHeight;
  page.frame = display.canvas.frameBuffer;
  page.work = TakeEarlyWork(browser, page.first, page.last);
  if (!page.work) page.work = StartPageWork(browser, textureLoader, page.first, page.last, false);
  TakePagePlacement(browser.pictureViews, page.work->cells);
  page.inProgress = true;
  page.complete = false;
  // Each page shown gets its own look ahead: kept thumbnails may have been dropped meanwhile.
  browser.thumbnailPages.aheadDone = false;
  // The page's first entry is the selection from the start, so that a page left early goes
  // back to the list where a whole one would.
  browser.fileList.selection = browser.fileList.thumbFirst;
}

// The page in progress is no longer what the canvas shows or is laid out for.
bool PageLeft(const Browser& browser, const Display& display) {
  const ThumbnailPage& page = browser.thumbnailPages.page;
  const DisplayState& d = display.displayState;
  return !ThumbnailsShown(browser.browserMode) || display.canvas.frameBuffer != page.frame ||
         d.canvasWidth != page.canvasWidth || d.canvasHeight != page.canvasHeight ||
         browser.pictureViews.cellWidth != page.cellWidth ||
         browser.pictureViews.cellHeight != page.cellHeight;
}

bool NextCellReady(const ThumbnailPage& page) {
  if (page.next > page.last) return true;
  const PageCell& cell = page.work->cells[static_cast<std::size_t>(page.next - page.first)];
  return cell.job < 0 || page.work->decoder->workers() == 0 ||
         page.work->decoder->Ready(static_cast<std::size_t>(cell.job));
}

void DrawCell(Browser& browser, Display& display, Pictures& pictures, int k) {
  ThumbnailPage& page = browser.thumbnailPages.page;
  PageCell& cell = page.work->cells[static_cast<std::size_t>(k - page.first)];
  const CellOrigin o = ThumbnailCellOrigin(k - page.first, page.grid, page.cellWidth,
                                           page.cellHeight, page.canvasHeight);
  bool decoded = cell.cached;
  if (cell.job >= 0) {
    const auto job = static_cast<std::size_t>(cell.job);
    PageResult result = page.work->decoder->Result(job);
    page.work->taken[job] = 1;
    decoded = result.decoded;
    cell.samples = std::move(result.samples);
    if (decoded && cell.stamped) browser.thumbnailCache.Insert(cell.key, cell.samples);
  }
  // An entry that could not be identified leaves the loader as a failed load does.
  if (cell.identified) {
    TakePageLoad(browser.pictureViews, pictures, cell.identity, decoded, cell.samples);
  } else {
    browser.pictureViews.pictureLoaded = false;
  }
  if (browser.pictureViews.pictureLoaded)
    DrawThumbnailSamples(display, cell.samples, o.x, o.y, pick::ThumbnailId(k));
  cell.samples = PictureSamples{};
  const int w = page.cellWidth;
  const int h = page.cellHeight;
  DrawRectOutline(display, o.x, o.y, o.x + w + 1, o.y + h + 1, white, white, white);
  DrawRectOutline(display, o.x + 1, o.y + 1, o.x + w, o.y + h, white, white, white);
  // The caption: the name cut to its first nameLimit + 1 characters.
  RenderText(display, NameCut(cell.caption.c_str(), browser.nameLimit + 1).text, o.x + 6,
             o.y + h - 4, white, white, white);
}

void AdvancePage(Browser& browser, Display& display, Pictures& pictures, bool wait) {
  ThumbnailPage& page = browser.thumbnailPages.page;
  bool drawn = false;  // the FrameBuffer holds the page so far and must be saved
  // Decodes begun for a page that is not drawn after all (the command undone in the same pass).
  if (!browser.browserMode.thumbRedraw())
    Leave(browser.thumbnailPages, browser.thumbnailPages.early);
  if (browser.browserMode.thumbRedraw()) {
    BeginPage(browser, display, pictures.textureLoader);
    drawn = true;
  } else if (!page.inProgress) {
    return;
  } else if (PageLeft(browser, display)) {
    page.inProgress = false;
    Leave(browser.thumbnailPages, page.work);
    return;
  }
  while (page.next <= page.last && (wait || NextCellReady(page))) {
    // The FrameBuffer may hold the overlay of the last pass: start from the page so far.
    if (!drawn) RestoreView(display);
    drawn = true;
    DrawCell(browser, display, pictures, page.next++);
  }
  if (!drawn) return;
  SaveView(display);
  if (page.next > page.last) {
    page.inProgress = false;
    page.complete = true;
    page.work.reset();  // every job is done: its workers are ending already
  }
}

}  // namespace

void DrawThumbnailPage(Browser& browser, Display& display, Pictures& pictures) {
  AdvancePage(browser, display, pictures, true);
}

void StepThumbnailPage(Browser& browser, Display& display, Pictures& pictures) {
  AdvancePage(browser, display, pictures, false);
}

bool ThumbnailPageInProgress(const Browser& browser) {
  return browser.thumbnailPages.page.inProgress;
}

bool ThumbnailPageComplete(const Browser& browser) { return browser.thumbnailPages.page.complete; }

bool ThumbnailPageStepReady(const Browser& browser, const Display& display) {
  const ThumbnailPage& page = browser.thumbnailPages.page;
  return browser.browserMode.thumbRedraw() ||
         (page.inProgress && (PageLeft(browser, display) || NextCellReady(page)));
}

int ThumbnailCellPendingAt(const Browser& browser, int x, int y) {
  const ThumbnailPage& page = browser.thumbnailPages.page;
  // A page left in this pass (T, a page key) holds nothing to click any more.
  if (!page.inProgress || !page.work || !ThumbnailsShown(browser.browserMode)) return 0;
  // Frames of neighbouring cells may touch; the later cell is drawn over the earlier.
  for (int k = page.last; k >= page.next; --k) {
    const CellOrigin o = ThumbnailCellOrigin(k - page.first, page.grid, page.cellWidth,
                                             page.cellHeight, page.canvasHeight);
    if (x >= o.x && x <= o.x + page.cellWidth + 1 && y >= o.y && y <= o.y + page.cellHeight + 1) {
      return k;
    }
  }
  return 0;
}

namespace {

// The size of the picture a pending cell will show, without decoding it here: from its kept
// thumbnail, from its decode when that has finished, else from the file's header. False where
// the cell will show no thumbnail.
bool PendingPictureSize(Browser& browser, PageCell& cell, int* width, int* height) {
  if (!cell.identified || !cell.identity.decodable || !cell.identity.pathFits) return false;
  PageWork& work = *browser.thumbnailPages.page.work;
  if (cell.job >= 0 && work.decoder->workers() > 0 &&
      work.decoder->Ready(static_cast<std::size_t>(cell.job))) {
    // Taken now, the result is the cell's as a kept thumbnail would be.
    const auto job = static_cast<std::size_t>(cell.job);
    PageResult result = work.decoder->Result(job);
    work.taken[job] = 1;
    cell.job = -1;
    cell.cached = result.decoded;
    cell.samples = std::move(result.samples);
    if (cell.cached && cell.stamped) browser.thumbnailCache.Insert(cell.key, cell.samples);
    if (!cell.cached) return false;
  }
  if (cell.job < 0) {
    *width = cell.samples.pictureWidth;
    *height = cell.samples.pictureHeight;
    return cell.cached;
  }
  return ProbePictureSize(cell.identity.fullPath, width, height);
}

}  // namespace

After ClickPendingCell(Browser& browser, Display& display, Pictures& pictures,
                       const MouseLatches& latches) {
  if (latches.rightDown != 1 || PickIdUnderCursor(display) != pick::none) return {};
  DisplayState& d = display.displayState;
  const int x = CursorCanvasX(d);
  const int y = CursorCanvasY(d);
  const int entry = ThumbnailCellPendingAt(browser, x, y);
  if (entry == 0) return {};
  const ThumbnailPage& page = browser.thumbnailPages.page;
  PageCell& cell = page.work->cells[static_cast<std::size_t>(entry - page.first)];
  // Where the drawn cell would hold no thumbnail the click means what it means there on the
  // drawn page: nothing here, and no picture is loaded for it.
  int width = 0;
  int height = 0;
  if (!PendingPictureSize(browser, cell, &width, &height)) return {};
  const CellOrigin o = ThumbnailCellOrigin(entry - page.first, page.grid, page.cellWidth,
                                           page.cellHeight, page.canvasHeight);
  const float step = ThumbnailStep(width, height, page.cellWidth);
  const auto across = static_cast<int>(SamplePositions(width, step).size());
  const auto down = static_cast<int>(SamplePositions(height, step).size());
  if (x < o.x || x >= o.x + 2 * across || y < o.y || y >= o.y + 2 * down) return {};
  // On its thumbnail: opened as the drawn thumbnail would open it, without waiting for the
  // cells before it; the click is taken, since the point holds no thumbnail to keep it yet. One
  // that cannot be opened leaves the overlay and the placement as they were, as a cell without a
  // thumbnail would.
  const bool overlayShown = browser.pictureViews.overlayShown;
  const PlacementMode placement = browser.pictureViews.placementMode;
  const After opened = OpenPicture(browser, d, pictures, entry);
  if (browser.browserMode.pictureActive()) return opened;
  if (PictureOpeningPending(browser)) return Then(opened, {0, true});
  browser.pictureViews.overlayShown = overlayShown;
  browser.pictureViews.placementMode = placement;
  return {};
}

void DecodeNextPageAhead(Browser& browser, const DisplayState& d, Pictures& pictures) {
  TextureLoader& textureLoader = pictures.textureLoader;
  ThumbnailPages& pages = browser.thumbnailPages;
  // One page ahead of a complete page on screen, and never beside other work still decoding.
  if (pages.aheadDone || !pages.page.complete || pages.page.inProgress ||
      !ThumbnailsShown(browser.browserMode) || pages.ahead || !pages.leftWork.empty() ||
      !browser.fileList.names || textureLoader.pixels == nullptr) {
    return;
  }
  // The page the next-page command would show.
  int next = browser.fileList.thumbFirst + CellsPerPage(browser.pictureViews, d);
  if (next > browser.fileList.count) next = browser.fileList.count;
  if (next <= browser.fileList.thumbFirst) return;
  pages.ahead = StartPageWorkFrom(browser, d, textureLoader, next, true);
}

void BeginPageDecodes(Browser& browser, const DisplayState& d, Pictures& pictures) {
  ThumbnailPages& pages = browser.thumbnailPages;
  if (!browser.browserMode.thumbRedraw() || pages.early || !browser.fileList.names) return;
  // Pictures the stopped decoding ahead finished are kept first, so they are not decoded again.
  CollectPageWork(browser);
  const int first = std::max(browser.fileList.thumbFirst, 1);
  pages.early = StartPageWorkFrom(browser, d, pictures.textureLoader, first, false);
}

void StopDecodingAhead(Browser& browser) {
  Leave(browser.thumbnailPages, browser.thumbnailPages.ahead);
}

bool CollectPageWork(Browser& browser) {
  ThumbnailPages& pages = browser.thumbnailPages;
  if (pages.ahead) {
    const bool idle = pages.ahead->decoder->Idle();
    KeepFinished(browser.thumbnailCache, *pages.ahead);
    if (idle) {
      pages.aheadDone = true;
      pages.ahead.reset();
    }
  }
  for (auto w = pages.leftWork.begin(); w != pages.leftWork.end();) {
    const bool idle = (*w)->decoder->Idle();
    KeepFinished(browser.thumbnailCache, **w);
    w = idle ? pages.leftWork.erase(w) : std::next(w);
  }
  return PageWorkPending(browser);
}

bool PageWorkPending(const Browser& browser) {
  return browser.thumbnailPages.ahead != nullptr || !browser.thumbnailPages.leftWork.empty();
}

void AbandonPageWork(Browser& browser) {
  ThumbnailPages& pages = browser.thumbnailPages;
  Leave(pages, pages.page.work);
  Leave(pages, pages.ahead);
  Leave(pages, pages.early);
  pages.page = ThumbnailPage{};
  pages.aheadDone = false;
}

bool PageDecodesUnderWay(Browser& browser) {
  ThumbnailPages& pages = browser.thumbnailPages;
  auto underWay = [](const std::unique_ptr<PageWork>& work) {
    return work && !work->decoder->Idle();
  };
  return underWay(pages.page.work) || underWay(pages.ahead) ||
         std::any_of(pages.leftWork.begin(), pages.leftWork.end(), underWay);
}

void StopPageWork(Browser& browser) {
  AbandonPageWork(browser);
  browser.thumbnailPages.leftWork.clear();  // each decoder waits for its decodes under way
}

// ---- Commands ----------------------------------------------------------------------------------

After ClickThumbnail(Browser& browser, Display& display, Pictures& pictures,
                     const MouseLatches& latches) {
  if (latches.rightDown != 1) return {};
  const std::int32_t id = PickIdUnderCursor(display);
  if (pick::IsThumbnail(id)) {
    return OpenPicture(browser, display.displayState, pictures, pick::EntryOf(id));
  }
  // A cell of the page not drawn yet takes the click as its drawn thumbnail would.
  return ClickPendingCell(browser, display, pictures, latches);
}

After ToggleThumbnailView(Browser& browser, DisplayState& d) {
  if (ThumbnailsShown(browser.browserMode)) {
    ShowList(browser.browserMode);
  } else {
    ShowThumbnails(browser.browserMode);
  }
  browser.fileList.thumbFirst = browser.fileList.selection;
  ResetScroll(d);
  return {pauseAfter::viewSwitch};
}

After ThumbnailsButton(Browser& browser, DisplayState& d) {
  if (browser.browserMode.listActive()) {
    ShowThumbnails(browser.browserMode);
  } else {
    ShowList(browser.browserMode);
  }
  RescanBrowsedDirectory(browser);
  browser.fileList.thumbFirst = browser.fileList.selection;
  ResetScroll(d);
  return {pauseAfter::click, true};
}

After NextThumbnailPage(Browser& browser, DisplayState& d) {
  ResetScroll(d);
  ShowThumbnails(browser.browserMode);
  browser.fileList.thumbFirst += CellsPerPage(browser.pictureViews, d);
  if (browser.fileList.thumbFirst > browser.fileList.count)
    browser.fileList.thumbFirst = browser.fileList.count;
  // An empty directory would otherwise start the page at the never-filled slot 0.
  if (browser.fileList.thumbFirst < 1) browser.fileList.thumbFirst = 1;
  return {pauseAfter::pageTurn};
}

After PreviousThumbnailPage(Browser& browser, DisplayState& d) {
  ResetScroll(d);
  ShowThumbnails(browser.browserMode);
  browser.fileList.thumbFirst -= CellsPerPage(browser.pictureViews, d);
  if (browser.fileList.thumbFirst <= 0) browser.fileList.thumbFirst = 1;
  return {pauseAfter::pageTurn};
}

ThumbnailPages::ThumbnailPages() = default;

// Pictures not started are dropped; the decodes under way end with their pages.
ThumbnailPages::~ThumbnailPages() {
  if (page.work) page.work->decoder->Stop();
  if (ahead) ahead->decoder->Stop();
  for (const std::unique_ptr<PageWork>& work : leftWork) work->decoder->Stop();
}
