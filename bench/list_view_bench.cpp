// One full pass of the main loop in the list view at 960 x 540 (display mode 1, zoom 2), for a
// directory of 360 entries (the six columns that reach the canvas) and one of 2999 entries.
// The rows that cannot reach the canvas should cost nothing, so both passes should cost
// about the same; the ratio of the two is reported from one run. The Linux program's pass, with
// names beyond ASCII drawn from the glyph cache, against the same pass of ASCII names; and its
// listing of a folder of 100,000 files against reading the directory alone.
#include <benchmark/benchmark.h>

#include <dirent.h>
#include <unistd.h>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <string>

#include "browser/browser.h"
#include "browser/directory.h"
#include "browser/file_list.h"
#include "browser/picture_sampling.h"
#include "browser/picture_view.h"
#include "browser/thumbnail_page.h"
#include "display/display.h"
#include "page_program.h"
#include "pictures/texture_loader.h"
#include "ratios.h"
#include "backends/headless/headless.h"
#include "shell/main_loop.h"
#include "shell/trove.h"

namespace {

// The program as start-up leaves it at 960 x 540, with 2999 named entries in the list; with
// linux, the Linux program's, and with beyondAscii every other name beyond ASCII.
void SetUpListView(Trove& trove, bool linux = false, bool beyondAscii = false) {
  Browser& browser = trove.browser;
  headless::Reset();
  headless::state().windowRect = {0, 0, 1920, 1080};
  headless::state().cursor = {700, 300};
  headless::state().posixConventions = linux;
  UseHalfScreenDisplay(trove.display);
  browser.pictureViews.overlayShown = true;
  browser.browserMode = BrowserMode{BrowserView::list};
  AllocateFileList(browser.fileList);
  for (int k = 1; k <= maxEntries; ++k) {
    char name[nameSlotSize];
    const char* otherScripts =
        k % 10 == 0 ? "\xC3\x89t\xC3\xA9 %04d" : "\xE6\x97\xA5\xE6\x9C\xAC_%05d.JPG";
    std::snprintf(name, sizeof name,
                  beyondAscii && k % 2 == 0 ? otherScripts
                  : k % 5 == 0              ? "Folder %04d"
                                            : "IMG_%05d.JPG",
                  k);
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

void BM_LinuxListViewPass(benchmark::State& state) {
  Trove trove;
  SetUpListView(trove, true, state.range(0) != 0);
  trove.browser.fileList.count = maxEntries;
  for (auto _ : state) {
    ForgetPresentedPass(trove.mainLoop);
    RunPass(trove);
    benchmark::DoNotOptimize(trove.display.canvas.frameBuffer[0]);
  }
}
BENCHMARK(BM_LinuxListViewPass)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
const bool registeredLinuxPass =
    RegisterRatio("Linux list pass, ASCII names / Windows list pass", "BM_LinuxListViewPass/0",
                  "BM_ListViewPass/2999", 0) &&
    RegisterRatio("Linux list pass, half the names beyond ASCII / ASCII names",
                  "BM_LinuxListViewPass/1", "BM_LinuxListViewPass/0", 0);

// A folder of 100,000 files named as a camera names them, made once beside the benchmarks, of
// links to one empty file (a file system makes links far faster than files).
std::string HundredThousandFiles() {
  const std::string folder = std::string(TROVE_BENCH_DATA) + "/listing-100000";
  char last[32];
  std::snprintf(last, sizeof last, "/IMG_%05d.JPG", 99999);
  if (!std::filesystem::exists(folder + last)) {
    std::filesystem::create_directories(folder);
    // A file system takes some tens of thousands of links to one file: a new file every 50,000.
    std::string target;
    for (int i = 0; i < 100000; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "/IMG_%05d.JPG", i);
      const std::string path = folder + name;
      if (i % 50000 == 0) {
        target = path;
        if (std::FILE* f = std::fopen(path.c_str(), "wb")) std::fclose(f);
      } else if (!std::filesystem::exists(path)) {
        std::filesystem::create_hard_link(target, path);
      }
    }
  }
  return folder;
}

// Listing the folder as the Linux program does (the names, their kinds, their order in the
// user's locale, each name kept), against reading its names alone with readdir.
void BM_ListingHundredThousand(benchmark::State& state) {
  const std::string folder = HundredThousandFiles();
  std::setlocale(LC_COLLATE, "");
  std::setlocale(LC_CTYPE, "");
  Trove trove;
  headless::Reset();
  headless::state().posixConventions = true;
  Browser& browser = trove.browser;
  AllocateFileList(browser.fileList);
  std::snprintf(browser.browsedPath, sizeof browser.browsedPath, "%s", folder.c_str());
  if (!getcwd(browser.workingDirectory, sizeof browser.workingDirectory)) return;
  double reading = 0.0;
  double listing = 0.0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    DIR* dir = opendir(folder.c_str());
    std::size_t names = 0;
    while (dirent* entry = readdir(dir)) names += entry->d_name[0] != '\0';
    closedir(dir);
    auto t1 = std::chrono::steady_clock::now();
    RescanBrowsedDirectory(browser);
    auto t2 = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(names);
    reading += std::chrono::duration<double>(t1 - t0).count();
    listing += std::chrono::duration<double>(t2 - t1).count();
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["entries"] = browser.fileList.count;
  state.counters["readdir_ms"] = reading / n * 1e3;
  state.counters["listing_ms"] = listing / n * 1e3;
  std::setlocale(LC_ALL, "C");
}
BENCHMARK(BM_ListingHundredThousand)->Unit(benchmark::kMillisecond)->Iterations(5);
const bool registeredListing =
    RegisterRatio("listing 100,000 files (Linux) / reading the directory alone",
                  "BM_ListingHundredThousand/iterations:5:listing_ms",
                  "BM_ListingHundredThousand/iterations:5:readdir_ms", 0);

}  // namespace
