// The single-picture view: loading an entry's picture with the browsed directory made current,
// drawing it where the placement puts it, and going in and out of the view.
#include "browser/picture_view.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <exception>
#include <memory>
#include <string>
#include <thread>

#include "browser/directory.h"
#include "browser/picture_sampling.h"
#include "browser/thumbnail_grid.h"
#include "pictures/area_average.h"
#include "pictures/picture_samples.h"
#include "canvas/canvas.h"
#include "canvas/text.h"
#include "display/display.h"
#include "input/input.h"
#include "input/pauses.h"
#include "pictures/texture_loader.h"
#include "platform/platform.h"

PictureOrigin PictureViewOrigin(int width, int height, float step, PlacementMode placementMode,
                                int cursorX, int cursorY, int canvasWidth, int canvasHeight) {
  if (!(step > 0.0f)) return {false, 0, 0};
  const float halfWidth = static_cast<float>(width) / step;
  const float halfHeight = static_cast<float>(height) / step;
  float x = 0.0f;
  float y = 0.0f;
  if (placementMode != PlacementMode::centred) {
    const float g = static_cast<float>(placementMode);
    x = g * static_cast<float>(cursorX) - static_cast<float>(canvasWidth) - halfWidth;
    y = g * static_cast<float>(cursorY) - static_cast<float>(canvasHeight) - halfHeight;
  } else {
    x = static_cast<float>(cursorX) - halfWidth;
    y = static_cast<float>(cursorY) - halfHeight;
  }
  // Beyond the range of an int no block can reach a canvas, and the conversion would be
  // undefined.
  constexpr float limit = 2147483648.0f;
  if (!(x > -limit && x < limit && y > -limit && y < limit)) return {false, 0, 0};
  return {true, static_cast<int>(x), static_cast<int>(y)};
}

void LoadEntryPicture(Browser& browser, Pictures& pictures, int entry) {
  TextureLoader& textureLoader = pictures.textureLoader;
  PictureInfo& pictureInfo = pictures.pictureInfo;
  browser.pictureViews.pictureLoaded = false;
  // Only an entry of the current scan: a thumbnail drawn before a shorter rescan names a slot
  // left over from an earlier one.
  if (!browser.fileList.names || entry < 1 || entry > browser.fileList.count) return;
  char name[nameSlotSize];
  FormatText(name, sizeof name, "%s", browser.fileList.names[entry]);
  // When the browsed directory cannot be made current, the start directory's file of the same
  // name must not be decoded in its place.
  {
    const InDirectory in(browser);
    if (!in.entered()) return;
    textureLoader.IdentifyPicture(name, &pictureInfo);
  }
  browser.pictureViews.pictureLoaded = false;
  if (textureLoader.loadable == 1) {
    int loaded = 0;
    {
      const InDirectory in(browser);
      if (!in.entered()) return;
      loaded = textureLoader.LoadPicture(name, &pictureInfo);
    }
    browser.pictureViews.pictureLoaded = loaded == 1;
    if (loaded == 1) ++browser.pictureViews.loads;
    // Every load, a page's as well, shows the overlay again and resets the placement.
    browser.pictureViews.placementMode = PlacementMode::followByThree;
    browser.pictureViews.overlayShown = true;
  }
}

namespace {

// The loaded picture reduced to fit the canvas, made anew only for another load or canvas.
const FittedPicture& Fitted(Browser& browser, const Pictures& pictures, int canvasWidth,
                            int canvasHeight) {
  FittedPicture& fitted = browser.fittedPicture;
  if (fitted.load == browser.pictureViews.loads && fitted.canvasWidth == canvasWidth &&
      fitted.canvasHeight == canvasHeight) {
    return fitted;
  }
  const PictureInfo& info = pictures.pictureInfo;
  const FittedSize size = FitWithin(info.width, info.height, canvasWidth, canvasHeight);
  fitted = FittedPicture{browser.pictureViews.loads, canvasWidth, canvasHeight};
  const int bytesPerPixel = SampledBytesPerPixel(pictures);
  if (bytesPerPixel == 0 ||
      !ReduceByAreaAverage(pictures.textureLoader.pixels, info.width, info.height, bytesPerPixel,
                           size.width, size.height, &fitted.rgba)) {
    return fitted;
  }
  fitted.width = size.width;
  fitted.height = size.height;
  fitted.x = (canvasWidth - size.width) / 2;
  fitted.y = (canvasHeight - size.height) / 2;
  return fitted;
}

void DrawFittedPicture(Browser& browser, Display& display, const Pictures& pictures) {
  const DisplayState& d = display.displayState;
  const FittedPicture& fitted = Fitted(browser, pictures, d.canvasWidth, d.canvasHeight);
  for (int row = 0; row < fitted.height; ++row) {
    const std::uint8_t* from =
        fitted.rgba.data() + static_cast<std::size_t>(row) * fitted.width * 4u;
    std::uint8_t* to = display.canvas.frameBuffer +
                       (static_cast<std::size_t>(fitted.y + row) * d.canvasWidth + fitted.x) * 4u;
    for (int x = 0; x < fitted.width; ++x, from += 4, to += 4) {
      to[0] = from[0];
      to[1] = from[1];
      to[2] = from[2];
      to[3] = 255;
    }
  }
}

}  // namespace

bool PictureFitsAtStep(int width, int height, float step, int canvasWidth, int canvasHeight) {
  return 2 * static_cast<std::int64_t>(SamplePositions(width, step).size()) <= canvasWidth &&
         2 * static_cast<std::int64_t>(SamplePositions(height, step).size()) <= canvasHeight;
}

void DrawPictureView(Browser& browser, Display& display, const Pictures& pictures) {
  ClearCanvas(display);
  const DisplayState& d = display.displayState;
  const PictureInfo& pictureInfo = pictures.pictureInfo;
  if (browser.pictureViews.fitted) {
    DrawFittedPicture(browser, display, pictures);
    SaveView(display);
    return;
  }
  const PictureOrigin o =
      PictureViewOrigin(pictureInfo.width, pictureInfo.height, browser.pictureViews.sampleStep,
                        browser.pictureViews.placementMode, CursorCanvasX(d), CursorCanvasY(d),
                        d.canvasWidth, d.canvasHeight);
  if (o.valid)
    DrawSampledPicture(display, pictures, o.x, o.y, browser.pictureViews.sampleStep, pick::none);
  SaveView(display);
}

// ---- Opening a picture off the pass ----------------------------------------------------------

struct PictureOpening {
  int entry = 0;
  int pageFirst = 0;
  std::string name;  // the entry's name when it was opened
  std::string path;
  // The canvas whose size decides the checkerboard its transparent parts are shown over (the
  // Linux program's view); 0 x 0 where transparency shows as black.
  int checkCanvasWidth = 0;
  int checkCanvasHeight = 0;
  std::atomic<bool> abandoned{false};
  std::atomic<bool> done{false};
  bool animated = false;  // a GIF or WebP picture of the Linux program
  bool decoded = false;   // written by the thread before done
  platform::DecodedPicture picture;
  std::thread thread;

  PictureOpening() = default;
  PictureOpening(const PictureOpening&) = delete;
  PictureOpening& operator=(const PictureOpening&) = delete;
  ~PictureOpening() {
    abandoned = true;
    if (thread.joinable()) thread.join();
    if (picture.bits || picture.backend) platform::ReleasePicture(&picture);
  }
};

// An animation's thread decodes a frame whenever the one it decoded before has been taken, so at
// most the frame shown (in the PictureBuffer) and the next are held beside the canvas they are
// composed on.
struct PictureAnimation {
  std::string path;
  int checkCanvasWidth = 0;
  int checkCanvasHeight = 0;
  std::atomic<bool> abandoned{false};
  std::atomic<bool> done{false};
  mutable std::mutex mutex;
  std::condition_variable wake;
  bool wanted = true;  // the frame before has been taken (guarded by mutex)
  bool ready = false;  // frame and delayMs hold the next frame (guarded by mutex)
  platform::DecodedPicture frame;
  int delayMs = 0;
  std::thread thread;
  // The main loop's own: the load that shows the animation's frames, and when the next shows.
  std::uint32_t load = 0;
  std::chrono::steady_clock::time_point due{};

  PictureAnimation() = default;
  PictureAnimation(const PictureAnimation&) = delete;
  PictureAnimation& operator=(const PictureAnimation&) = delete;
  ~PictureAnimation() {
    Abandon();
    if (thread.joinable()) thread.join();
    if (frame.bits || frame.backend) platform::ReleasePicture(&frame);
  }
  void Abandon() {
    abandoned = true;
    const std::lock_guard<std::mutex> lock(mutex);
    wake.notify_all();
  }
};

PictureOpenings::PictureOpenings() = default;
PictureOpenings::~PictureOpenings() {
  if (animation) animation->Abandon();
  for (const std::unique_ptr<PictureAnimation>& animationLeft : animationsLeft) {
    animationLeft->Abandon();
  }
  if (pending) pending->abandoned = true;
  for (const std::unique_ptr<PictureOpening>& opening : left) opening->abandoned = true;
}

namespace {

// The Linux program's view shows transparent parts over checks of 8 canvas pixels a square once
// the picture is fitted to a canvasWidth x canvasHeight canvas.
void ShowViewOverChecks(const platform::DecodedPicture& p, int canvasWidth, int canvasHeight) {
  if (canvasWidth <= 0 || canvasHeight <= 0 || !p.bits) return;
  const int reduction = std::max({1, p.width / canvasWidth, p.height / canvasHeight});
  ShowOverChecks(p.bits, p.width, p.height, 8 * reduction);
}

// The opening's thread: the whole picture, every row, until abandoned.
void DecodeOpening(PictureOpening* opening) {
  platform::BeginDecodeThread(false);
  try {
    platform::RowSelection rows;
    rows.abandoned = &opening->abandoned;
    opening->decoded = platform::DecodePictureRows(opening->path.c_str(), PictureFitsBuffer, rows,
                                                   &opening->picture);
    if (opening->decoded) {
      ShowViewOverChecks(opening->picture, opening->checkCanvasWidth, opening->checkCanvasHeight);
    }
  } catch (...) {
    opening->decoded = false;  // no memory on the way: the picture does not open
  }
  platform::EndDecodeThread();
  opening->done.store(true, std::memory_order_release);
}

// The animation's thread: the frames one after another, each once the one before is taken, until
// the animation ends or is abandoned. The first frame, already shown by the opening, is shown
// again for its delay.
void DecodeAnimation(PictureAnimation* animation) {
  platform::BeginDecodeThread(false);
  platform::AnimationReader* reader = nullptr;
  try {
    reader = platform::OpenAnimation(animation->path.c_str(), PictureFitsBuffer);
    for (;;) {
      {
        std::unique_lock<std::mutex> lock(animation->mutex);
        animation->wake.wait(lock,
                             [animation] { return animation->wanted || animation->abandoned; });
        animation->wanted = false;
      }
      platform::DecodedPicture frame;
      int delayMs = 0;
      if (animation->abandoned ||
          !platform::NextAnimationFrame(reader, &animation->abandoned, &frame, &delayMs)) {
        break;
      }
      ShowViewOverChecks(frame, animation->checkCanvasWidth, animation->checkCanvasHeight);
      const std::lock_guard<std::mutex> lock(animation->mutex);
      animation->frame = frame;
      animation->delayMs = delayMs;
      animation->ready = true;
    }
  } catch (...) {
    // No memory on the way: the frame shown stays.
  }
  platform::CloseAnimation(reader);
  platform::EndDecodeThread();
  animation->done.store(true, std::memory_order_release);
}

void StopAnimation(PictureOpenings& openings) {
  if (!openings.animation) return;
  openings.animation->Abandon();
  openings.animationsLeft.push_back(std::move(openings.animation));
}

// Begins the animation of the picture the opening has just shown (load).
void StartAnimation(PictureOpenings& openings, const PictureOpening& opening, std::uint32_t load) {
  StopAnimation(openings);
  auto animation = std::make_unique<PictureAnimation>();
  animation->path = opening.path;
  animation->checkCanvasWidth = opening.checkCanvasWidth;
  animation->checkCanvasHeight = opening.checkCanvasHeight;
  animation->load = load;
  animation->due = std::chrono::steady_clock::now();
  try {
    animation->thread = std::thread(DecodeAnimation, animation.get());
  } catch (const std::exception&) {
    return;  // no thread: the first frame stays
  }
  openings.animation = std::move(animation);
}

// What a load leaves once it is over, whether the picture decoded or not.
void LoadEnded(Browser& browser, DisplayState& d, const PictureInfo& info, bool loaded, int entry) {
  ++browser.revision;
  browser.pictureViews.pictureLoaded = loaded;
  if (loaded) ++browser.pictureViews.loads;
  browser.pictureViews.placementMode = PlacementMode::followByThree;
  browser.pictureViews.overlayShown = true;
  if (loaded) ShowLoadedPicture(browser, d, info, entry);
}

}  // namespace

After OpenPicture(Browser& browser, DisplayState& d, Pictures& pictures, int entry) {
  AbandonPictureOpening(browser);
  browser.pictureViews.pictureLoaded = false;
  // Only an entry of the current scan, identified in the browsed directory as a load would.
  if (!browser.fileList.names || entry < 1 || entry > browser.fileList.count) {
    return {pauseAfter::pictureOpen};
  }
  auto opening = std::make_unique<PictureOpening>();
  char name[nameSlotSize];
  FormatText(name, sizeof name, "%s", browser.fileList.names[entry]);
  PictureIdentity identity;
  {
    const InDirectory in(browser);
    if (!in.entered()) return {pauseAfter::pictureOpen};
    pictures.textureLoader.ClassifyName(name, &identity);
    pictures.textureLoader.TakeIdentity(identity, &pictures.pictureInfo);
  }
  if (pictures.textureLoader.loadable != 1) return {pauseAfter::pictureOpen};
  if (!identity.pathFits) {
    LoadEnded(browser, d, pictures.pictureInfo, false, entry);
    return {pauseAfter::pictureOpen};
  }
  opening->entry = entry;
  opening->pageFirst = browser.fileList.thumbFirst;
  opening->name = name;
  opening->path = identity.fullPath;
  if (platform::PlatformConventions().desktopWays && d.canvasWidth > 0 && d.canvasHeight > 0) {
    opening->checkCanvasWidth = d.canvasWidth;
    opening->checkCanvasHeight = d.canvasHeight;
    opening->animated = identity.kind == pictureGif || identity.kind == pictureWebp;
  }
  try {
    opening->thread = std::thread(DecodeOpening, opening.get());
  } catch (const std::exception&) {
    // No thread: the picture is loaded here, as it always was.
    LoadEntryPicture(browser, pictures, entry);
    if (browser.pictureViews.pictureLoaded) {
      ShowLoadedPicture(browser, d, pictures.pictureInfo, entry);
    }
    return {pauseAfter::pictureOpen, browser.pictureViews.pictureLoaded};
  }
  browser.pictureOpenings.pending = std::move(opening);
  return {pauseAfter::pictureOpen};
}

void CollectOpenedPicture(Browser& browser, DisplayState& d, Pictures& pictures) {
  PictureOpenings& openings = browser.pictureOpenings;
  std::erase_if(openings.left, [](const std::unique_ptr<PictureOpening>& opening) {
    return opening->done.load(std::memory_order_acquire);
  });
  if (!openings.pending) return;
  PictureOpening& opening = *openings.pending;
  const FileList& list = browser.fileList;
  if (!ThumbnailsShown(browser.browserMode) || browser.browserMode.thumbRedraw() ||
      list.thumbFirst != opening.pageFirst || !list.names || opening.entry > list.count ||
      opening.name != list.names[opening.entry]) {
    AbandonPictureOpening(browser);
    return;
  }
  if (!opening.done.load(std::memory_order_acquire)) return;
  opening.thread.join();
  const bool loaded = opening.decoded && pictures.textureLoader.TakeDecodedPicture(
                                             &opening.picture, &pictures.pictureInfo) == 1;
  opening.picture = platform::DecodedPicture{};
  const int entry = opening.entry;
  LoadEnded(browser, d, pictures.pictureInfo, loaded, entry);
  if (loaded && opening.animated) StartAnimation(openings, opening, browser.pictureViews.loads);
  openings.pending.reset();
}

void CollectAnimationFrame(Browser& browser, Pictures& pictures) {
  PictureOpenings& openings = browser.pictureOpenings;
  std::erase_if(openings.animationsLeft, [](const std::unique_ptr<PictureAnimation>& animation) {
    return animation->done.load(std::memory_order_acquire);
  });
  if (!openings.animation) return;
  PictureAnimation& animation = *openings.animation;
  PictureViews& views = browser.pictureViews;
  // Left for another picture, another view or another load of this one.
  if (!browser.browserMode.pictureActive() || !views.pictureLoaded ||
      views.loads != animation.load) {
    StopAnimation(openings);
    return;
  }
  if (animation.done.load(std::memory_order_acquire)) {
    openings.animation.reset();  // played as often as it says: its last frame stays
    return;
  }
  const auto now = std::chrono::steady_clock::now();
  platform::DecodedPicture frame;
  int delayMs = 0;
  {
    const std::lock_guard<std::mutex> lock(animation.mutex);
    if (!animation.ready || now < animation.due) return;
    frame = animation.frame;
    delayMs = animation.delayMs;
    animation.frame = platform::DecodedPicture{};
    animation.ready = false;
    animation.wanted = true;
    animation.wake.notify_all();
  }
  if (pictures.textureLoader.TakeDecodedPicture(&frame, &pictures.pictureInfo) != 1) {
    StopAnimation(openings);
    return;
  }
  // A new load: the view reduces and draws the frame anew.
  animation.load = ++views.loads;
  ++browser.revision;
  animation.due = now + std::chrono::milliseconds(delayMs);
}

int AnimationRestMs(const Browser& browser, int restMs) {
  const PictureAnimation* animation = browser.pictureOpenings.animation.get();
  if (!animation) return restMs;
  {
    // A frame still being decoded is looked for again after the usual rest.
    const std::lock_guard<std::mutex> lock(animation->mutex);
    if (!animation->ready) return restMs;
  }
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        animation->due - std::chrono::steady_clock::now())
                        .count();
  return static_cast<int>(std::clamp<long long>(left + 1, 1, restMs));
}

bool PictureOpeningPending(const Browser& browser) {
  return browser.pictureOpenings.pending != nullptr;
}

void AbandonPictureOpening(Browser& browser) {
  PictureOpenings& openings = browser.pictureOpenings;
  StopAnimation(openings);
  if (!openings.pending) return;
  openings.pending->abandoned = true;
  openings.left.push_back(std::move(openings.pending));
}

bool PictureOpeningsUnderWay(const Browser& browser) {
  const PictureOpenings& openings = browser.pictureOpenings;
  auto running = [](const std::unique_ptr<PictureOpening>& opening) {
    return !opening->done.load(std::memory_order_acquire);
  };
  auto animating = [](const std::unique_ptr<PictureAnimation>& animation) {
    return !animation->done.load(std::memory_order_acquire);
  };
  return (openings.pending && running(openings.pending)) ||
         std::any_of(openings.left.begin(), openings.left.end(), running) ||
         (openings.animation && animating(openings.animation)) ||
         std::any_of(openings.animationsLeft.begin(), openings.animationsLeft.end(), animating);
}

void ShowLoadedPicture(Browser& browser, DisplayState& d, const PictureInfo& pictureInfo,
                       int entry) {
  ShowPicture(browser.browserMode);
  browser.pictureViews.pictureEntry = entry;
  // The Linux program shows a picture larger than the canvas whole.
  PictureViews& views = browser.pictureViews;
  views.fitted = platform::PlatformConventions().desktopWays &&
                 !PictureFitsAtStep(pictureInfo.width, pictureInfo.height, views.sampleStep,
                                    d.canvasWidth, d.canvasHeight);
  ResetScroll(d);
}

After StepThroughPictures(Browser& browser, DisplayState& d, Pictures& pictures, int from,
                          int direction) {
  const int shown = browser.pictureViews.pictureEntry;
  bool tried = false;
  for (int k = from; k >= 1 && k <= browser.fileList.count && k != shown; k += direction) {
    tried = true;
    LoadEntryPicture(browser, pictures, k);
    if (!browser.pictureViews.pictureLoaded) continue;
    ShowLoadedPicture(browser, d, pictures.pictureInfo, k);
    // T and a click go back to the page that holds the picture shown now.
    browser.fileList.thumbFirst = PageFirstHolding(k, CellsPerPage(browser.pictureViews, d));
    browser.fileList.selection = browser.fileList.thumbFirst;
    return {pauseAfter::pageTurn};
  }
  // No other picture: the one shown stays, loaded again if a look at another replaced it.
  if (tried) LoadEntryPicture(browser, pictures, shown);
  return {};
}

void ToggleFittedPicture(PictureViews& views) { views.fitted = !views.fitted; }

After ClosePicture(Browser& browser) {
  ShowThumbnails(browser.browserMode);
  RescanBrowsedDirectory(browser);
  return {pauseAfter::click, true};
}

void DrawPictureLines(const Browser& browser, Display& display, const PictureInfo& pictureInfo) {
  const DisplayState& d = display.displayState;
  const FileList& list = browser.fileList;
  const int entry = browser.pictureViews.pictureEntry;
  if (entry >= 1 && entry <= list.count && list.names) {
    RenderShownText(display, list.names[entry], 12, d.canvasHeight - 22);
  }
  char size[32];
  FormatText(size, sizeof size, "%dx%d", pictureInfo.width, pictureInfo.height);
  RenderText(display, size, 12, d.canvasHeight - 30, 255, 255, 0);
}
