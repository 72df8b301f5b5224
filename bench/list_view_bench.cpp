// One full pass of the main loop in the list view at 960 x 540 (display mode 1, zoom 2), for a
// directory of 360 entries (the six columns that reach the canvas) and one of 2999 entries.
// The rows that cannot reach the canvas should cost nothing, so both passes should cost
// about the same; the ratio of the two is reported from one run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

#include "browser/file_list.h"
#include "browser/picture_views.h"
#include "display/display.h"
#include "page_program.h"
#include "pictures/texture_loader.h"
#include "backends/headless/headless.h"
#include "shell/main_loop.h"
#include "shell/trove.h"

namespace {

// The program as start-up leaves it at 960 x 540, with 2999 named entries in the list.
void SetUpListView(Trove& trove) {
  Browser& browser = trove.browser;
  headless::Reset();
  headless::state().windowRect = {0, 0, 1920, 1080};
  headless::state().cursor = {700, 300};
  UseHalfScreenDisplay(trove.display);
  browser.pictureViews.overlayShown = true;
  browser.browserMode = BrowserMode{BrowserView::list};
  AllocateFileList(browser.fileList);
  for (int k = 1; k <= maxEntries; ++k) {
    char name[nameSlotSize];
    std::snprintf(name, sizeof name, k % 5 == 0 ? "Folder %04d" : "IMG_%05d.JPG", k);
    StoreEntry(browser.fileList, k, name, k % 5 == 0 ? entryDirectory : entryFile);
  }
  browser.fileList.selection = 7;
}

double TimedPass(Trove& trove, int count) {
  trove.browser.fileList.count = count;
  ForgetPresentedPass(trove.mainLoop);
  auto start = std::chrono::steady_clock::now();
  RunPass(trove);
  auto end = std::chrono::steady_clock::now();
  return std::chrono::duration<double>(end - start).count();
}

void BM_ListViewPass(benchmark::State& state) {
  Trove trove;
  SetUpListView(trove);
  trove.browser.fileList.count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    ForgetPresentedPass(trove.mainLoop);  // a drawn pass, not a resting one
    RunPass(trove);
    benchmark::DoNotOptimize(trove.display.canvas.frameBuffer[0]);
  }
}
BENCHMARK(BM_ListViewPass)->Arg(360)->Arg(maxEntries)->Unit(benchmark::kMicrosecond);

// Both passes alternately in one loop, so that the ratio compares like with like.
void BM_ListViewPassRatio(benchmark::State& state) {
  Trove trove;
  SetUpListView(trove);
  double small = 0.0;
  double large = 0.0;
  for (auto _ : state) {
    small += TimedPass(trove, 360);
    large += TimedPass(trove, maxEntries);
  }
  state.counters["pass_360_us"] = small / static_cast<double>(state.iterations()) * 1e6;
  state.counters["pass_2999_us"] = large / static_cast<double>(state.iterations()) * 1e6;
  state.counters["ratio_2999_to_360"] = small > 0.0 ? large / small : 0.0;
}
BENCHMARK(BM_ListViewPassRatio)->Unit(benchmark::kMicrosecond);

}  // namespace
