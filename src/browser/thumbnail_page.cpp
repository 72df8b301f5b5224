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
#include "browser/file_list.h"
#include "browser/page_decoder.h"
#include "browser/picture_views.h"
#include "browser/thumbnail_cache.h"
#include "canvas/canvas.h"
#include "canvas/text.h"
#include "display/display.h"
#include "pictures/texture_loader.h"
#include "platform/platform.h"

namespace {

// White frames and captions.
constexpr std::uint8_t white = 255;

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
  std::vector<PageCell> cells;
  std::unique_ptr<PageDecoder> decoder;
  std::vector<char> taken;  // per job
  bool ahead = false;       // decoded ahead: kept only in room the cache has free
};

// Identifies the entries first .. last, as LoadEntryPicture would, in the browsed directory,
// and finds their kept thumbnails; the pictures that must be decoded become jobs.
std::vector<PageCell> PreparePageCells(TextureLoader& textureLoader, int first, int last,
                                       std::vector<PageJob>* jobs) {
  std::vector<PageCell> cells(static_cast<std::size_t>(std::max(last - first + 1, 0)));
  for (int k = first; k <= last; ++k) {
    cells[static_cast<std::size_t>(k - first)].caption = fileList.names[k];
  }
  // Without a PictureBuffer the loader decodes nothing, so neither does the page.
  const bool loaderReady = textureLoader.pixels != nullptr;
  // When the browsed directory cannot be made current (it vanished after the scan), no cell is
  // identified: the start directory's files of the same names must not be shown in their place.
  if (!platform::SetCurrentDir(browsedPath)) return cells;
  for (int k = first; k <= last; ++k) {
    PageCell& cell = cells[static_cast<std::size_t>(k - first)];
    char name[nameSlotSize];
    FormatText(name, sizeof name, "%s", fileList.names[k]);
    cell.identified = true;
    textureLoader.ClassifyName(name, &cell.identity);
    if (!loaderReady || !cell.identity.decodable || !cell.identity.pathFits) continue;
    cell.key.path = cell.identity.fullPath;
    cell.key.cellWidth = pictureViews.cellWidth;
    cell.key.cellHeight = pictureViews.cellHeight;
    cell.stamped = platform::ReadFileStamp(cell.identity.fullPath, &cell.key.stamp);
    if (cell.stamped) {
      if (const PictureSamples* kept = thumbnailCache.Find(cell.key)) {
        cell.cached = true;
        cell.samples = *kept;
        continue;
      }
    }
    PageJob job;
    job.path = cell.identity.fullPath;
    job.cellWidth = pictureViews.cellWidth;
    job.keyed = textureLoader.colourKeyEnabled == 1;
    std::memcpy(job.key, textureLoader.colourKey, sizeof job.key);
    cell.job = static_cast<int>(jobs->size());
    jobs->push_back(std::move(job));
  }
  platform::SetCurrentDir(workingDirectory);
  return cells;
}

std::unique_ptr<PageWork> StartPageWork(TextureLoader& textureLoader, int first, int last,
                                        bool ahead) {
  auto work = std::make_unique<PageWork>();
  std::vector<PageJob> jobs;
  work->cells = PreparePageCells(textureLoader, first, last, &jobs);
  work->taken.assign(jobs.size(), 0);
  work->ahead = ahead;
  const int workers = PageWorkerCount(jobs.size());
  work->decoder = std::make_unique<PageDecoder>(std::move(jobs), workers, ahead);
  return work;
}

// Takes the results of the finished decodes not taken yet and keeps their thumbnails.
void KeepFinished(PageWork& work) {
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
void TakePageLoad(Pictures& pictures, const PictureIdentity& identity, bool decoded,
                  const PictureSamples& samples) {
  TextureLoader& textureLoader = pictures.textureLoader;
  PictureInfo& pictureInfo = pictures.pictureInfo;
  pictureViews.pictureLoaded = false;
  textureLoader.TakeIdentity(identity, &pictureInfo);
  if (!identity.decodable) return;
  if (decoded) {
    textureLoader.TakeDecodedSize(samples.pictureWidth, samples.pictureHeight, &pictureInfo);
  }
  pictureViews.pictureLoaded = decoded;
  pictureViews.placementMode = 3;
  pictureViews.overlayShown = true;
}

// The page begun last, with the canvas and cells it is laid out for.
struct Page {
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
Page page;

// The decoding of the page after the one on screen, and whether it ran to its end (every
// picture decoded or failed) since that page began.
std::unique_ptr<PageWork> ahead;
bool aheadDone = false;

// Work of pages left and of a stopped decoding ahead, until its workers end.
std::vector<std::unique_ptr<PageWork>> leftWork;

void Leave(std::unique_ptr<PageWork>& work) {
  if (!work) return;
  work->decoder->Stop();
  leftWork.push_back(std::move(work));
}

void BeginPage(Display& display, TextureLoader& textureLoader) {
  Leave(page.work);
  const DisplayState& d = display.displayState;
  nameLimit = ThumbnailNameLimit(d.canvasWidth, nameLimit);
  browserMode.thumbRedraw = false;
  ClearCanvas(display);
  page.grid = ThumbnailGridSize(d.canvasWidth, d.canvasHeight, pictureViews.cellWidth,
                                pictureViews.cellHeight);
  RescanBrowsedDirectory();
  if (fileList.thumbFirst <= 0) fileList.thumbFirst = 1;
  page.first = fileList.thumbFirst;
  page.last =
      fileList.names ? ThumbnailLastEntry(page.first, page.grid, fileList.count) : page.first - 1;
  page.next = page.first;
  page.cellWidth = pictureViews.cellWidth;
  page.cellHeight = pictureViews.cellHeight;
  page.canvasWidth = d.canvasWidth;
  page.canvasHeight = d.canvasHeight;
  page.frame = display.canvas.frameBuffer;
  page.work = StartPageWork(textureLoader, page.first, page.last, false);
  page.inProgress = true;
  page.complete = false;
  // Each page shown gets its own look ahead: kept thumbnails may have been dropped meanwhile.
  aheadDone = false;
  // The page's first entry is the selection from the start, so that a page left early goes
  // back to the list where a whole one would.
  fileList.selection = fileList.thumbFirst;
}

// The page in progress is no longer what the canvas shows or is laid out for.
bool PageLeft(const Display& display) {
  const DisplayState& d = display.displayState;
  return !ThumbnailsShown() || display.canvas.frameBuffer != page.frame ||
         d.canvasWidth != page.canvasWidth || d.canvasHeight != page.canvasHeight ||
         pictureViews.cellWidth != page.cellWidth || pictureViews.cellHeight != page.cellHeight;
}

bool NextCellReady() {
  if (page.next > page.last) return true;
  const PageCell& cell = page.work->cells[static_cast<std::size_t>(page.next - page.first)];
  return cell.job < 0 || page.work->decoder->workers() == 0 ||
         page.work->decoder->Ready(static_cast<std::size_t>(cell.job));
}

void DrawCell(Display& display, Pictures& pictures, int k) {
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
    if (decoded && cell.stamped) thumbnailCache.Insert(cell.key, cell.samples);
  }
  // An entry that could not be identified leaves the loader as a failed load does.
  if (cell.identified) {
    TakePageLoad(pictures, cell.identity, decoded, cell.samples);
  } else {
    pictureViews.pictureLoaded = false;
  }
  if (pictureViews.pictureLoaded)
    DrawThumbnailSamples(display, cell.samples, o.x, o.y, pick::thumbnailBase + k);
  cell.samples = PictureSamples{};
  const int w = page.cellWidth;
  const int h = page.cellHeight;
  DrawRectOutline(display, o.x, o.y, o.x + w + 1, o.y + h + 1, white, white, white);
  DrawRectOutline(display, o.x + 1, o.y + 1, o.x + w, o.y + h, white, white, white);
  // The caption: the name cut to its first nameLimit + 1 characters.
  FormatNameCut(cell.caption.c_str(), nameLimit + 1);
  RenderText(display, o.x + 6, o.y + h - 4, white, white, white);
}

void AdvancePage(Display& display, Pictures& pictures, bool wait) {
  bool drawn = false;  // the FrameBuffer holds the page so far and must be saved
  if (browserMode.thumbRedraw) {
    BeginPage(display, pictures.textureLoader);
    drawn = true;
  } else if (!page.inProgress) {
    return;
  } else if (PageLeft(display)) {
    page.inProgress = false;
    Leave(page.work);
    return;
  }
  while (page.next <= page.last && (wait || NextCellReady())) {
    // The FrameBuffer may hold the overlay of the last pass: start from the page so far.
    if (!drawn) RestoreView(display);
    drawn = true;
    DrawCell(display, pictures, page.next++);
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

void DrawThumbnailPage(Display& display, Pictures& pictures) {
  AdvancePage(display, pictures, true);
}

void StepThumbnailPage(Display& display, Pictures& pictures) {
  AdvancePage(display, pictures, false);
}

bool ThumbnailPageInProgress() { return page.inProgress; }

bool ThumbnailPageStepReady(const Display& display) {
  return browserMode.thumbRedraw || (page.inProgress && (PageLeft(display) || NextCellReady()));
}

bool ThumbnailCellPendingAt(int x, int y) {
  if (!page.inProgress) return false;
  for (int k = page.next; k <= page.last; ++k) {
    const CellOrigin o = ThumbnailCellOrigin(k - page.first, page.grid, page.cellWidth,
                                             page.cellHeight, page.canvasHeight);
    if (x >= o.x && x <= o.x + page.cellWidth + 1 && y >= o.y && y <= o.y + page.cellHeight + 1) {
      return true;
    }
  }
  return false;
}

void DecodeNextPageAhead(const DisplayState& d, Pictures& pictures) {
  TextureLoader& textureLoader = pictures.textureLoader;
  // One page ahead of a complete page on screen, and never beside other work still decoding.
  if (aheadDone || !page.complete || page.inProgress || !ThumbnailsShown() || ahead ||
      !leftWork.empty() || !fileList.names || textureLoader.pixels == nullptr) {
    return;
  }
  // The page the next-page command would show.
  int next = fileList.thumbFirst + CellsPerPage(d);
  if (next > fileList.count) next = fileList.count;
  if (next <= fileList.thumbFirst) return;
  const ThumbnailGrid grid = ThumbnailGridSize(d.canvasWidth, d.canvasHeight,
                                               pictureViews.cellWidth, pictureViews.cellHeight);
  ahead = StartPageWork(textureLoader, next, ThumbnailLastEntry(next, grid, fileList.count), true);
}

void StopDecodingAhead() { Leave(ahead); }

bool CollectPageWork() {
  if (ahead) {
    const bool idle = ahead->decoder->Idle();
    KeepFinished(*ahead);
    if (idle) {
      aheadDone = true;
      ahead.reset();
    }
  }
  for (auto w = leftWork.begin(); w != leftWork.end();) {
    const bool idle = (*w)->decoder->Idle();
    KeepFinished(**w);
    w = idle ? leftWork.erase(w) : std::next(w);
  }
  return PageWorkPending();
}

bool PageWorkPending() { return ahead != nullptr || !leftWork.empty(); }

void StopPageWork() {
  Leave(page.work);
  Leave(ahead);
  leftWork.clear();  // each decoder waits for its decodes under way
  page = Page{};
  aheadDone = false;
}
