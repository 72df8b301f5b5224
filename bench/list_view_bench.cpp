// One full pass of the main loop in the list view at 960 x 540 (display mode 1, zoom 2), for a
// directory of 360 entries (the six columns that reach the canvas) and one of 2999 entries.
// The rows that cannot reach the canvas should cost nothing, so both passes should cost
// about the same; the ratio of the two is reported from one run. The Linux program's pass, with
// names beyond ASCII drawn from the glyph cache, against the same pass of ASCII names; and its
// listing of a folder of 100,000 files against reading the directory alone, and against that
// plus one pass of its list view, which the listing should not exceed.
#include <benchmark/benchmark.h>

#include <dirent.h>
#include <unistd.h>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
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

// The program as start-up leaves it at 960 x 540 in the list view, its list empty; with linux,
// the Linux program's.
void SetUpEmptyListView(Trove& trove, bool linux) {
  Browser& browser = trove.browser;
  headless::Reset();
  headless::state().windowRect = {0, 0, 1920, 1080};
  headless::state().cursor = {700, 300};
  headless::state().posixConventions = linux;
  UseHalfScreenDisplay(trove.display);
  browser.pictureViews.overlayShown = true;
  browser.browserMode = BrowserMode{BrowserView::list};
  AllocateFileList(browser.fileList);
}

// The program as start-up leaves it at 960 x 540, with 2999 named entries in the list; with
// linux, the Linux program's, and with beyondAscii every other name beyond ASCII.
void SetUpListView(Trove& trove, bool linux = false, bool beyondAscii = false) {
  Browser& browser = trove.browser;
  SetUpEmptyListView(trove, linux);
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

// The locale the listing is measured in beside C: the user's English one, compiled beside the
// benchmarks when the system has not installed it (its collation is what the order costs),
// C.UTF-8 where it cannot be had.
const char* CollatingLocale() {
  static const char* const name = [] {
    if (std::setlocale(LC_COLLATE, "en_US.UTF-8")) return "en_US.UTF-8";
    const std::string folder = std::string(TROVE_BENCH_DATA) + "/locales";
    std::filesystem::create_directories(folder);
    const std::string command =
        "localedef -i en_US -f UTF-8 " + folder + "/en_US.UTF-8 >/dev/null 2>&1";
    if (std::filesystem::exists(folder + "/en_US.UTF-8") || std::system(command.c_str()) != -1) {
      setenv("LOCPATH", folder.c_str(), 1);
      if (std::setlocale(LC_COLLATE, "en_US.UTF-8")) return "en_US.UTF-8";
    }
    return "C.UTF-8";
  }();
  return name;
}

// Listing the folder as the Linux program does (the names, their kinds, their order in the C
// locale or, for 1, a collating UTF-8 one, each name kept), against reading its names alone with
// readdir and against that plus one pass of the Linux program's list view of the listed folder.
void BM_ListingHundredThousand(benchmark::State& state) {
  const std::string folder = HundredThousandFiles();
  const char* locale = state.range(0) != 0 ? CollatingLocale() : "C";
  std::setlocale(LC_COLLATE, locale);
  std::setlocale(LC_CTYPE, locale);
  state.SetLabel(locale);
  Trove trove;
  SetUpEmptyListView(trove, true);
  Browser& browser = trove.browser;
  std::snprintf(browser.browsedPath, sizeof browser.browsedPath, "%s", folder.c_str());
  if (!getcwd(browser.workingDirectory, sizeof browser.workingDirectory)) return;
  // Once before measuring, so that neither the listing nor the pass is measured the first time.
  RescanBrowsedDirectory(browser);
  TimedPass(trove, browser.fileList.count);
  double reading = 0.0;
  double listing = 0.0;
  double passes = 0.0;
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
    passes += TimedPass(trove, browser.fileList.count);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["entries"] = browser.fileList.count;
  state.counters["readdir_ms"] = reading / n * 1e3;
  state.counters["listing_ms"] = listing / n * 1e3;
  state.counters["pass_ms"] = passes / n * 1e3;
  state.counters["readdir_and_pass_ms"] = (reading + passes) / n * 1e3;
  std::setlocale(LC_ALL, "C");
}
BENCHMARK(BM_ListingHundredThousand)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);
const bool registeredListing =
    RegisterRatio("listing 100,000 (Linux, C) / reading the directory alone",
                  "BM_ListingHundredThousand/0/iterations:5:listing_ms",
                  "BM_ListingHundredThousand/0/iterations:5:readdir_ms", 0) &&
    RegisterRatio("listing 100,000 (Linux, UTF-8) / reading the directory alone",
                  "BM_ListingHundredThousand/1/iterations:5:listing_ms",
                  "BM_ListingHundredThousand/1/iterations:5:readdir_ms", 0) &&
    RegisterRatio("listing 100,000 (Linux, C) / reading it plus one list pass",
                  "BM_ListingHundredThousand/0/iterations:5:listing_ms",
                  "BM_ListingHundredThousand/0/iterations:5:readdir_and_pass_ms", 1.0) &&
    RegisterRatio("listing 100,000 (Linux, UTF-8) / reading it plus one list pass",
                  "BM_ListingHundredThousand/1/iterations:5:listing_ms",
                  "BM_ListingHundredThousand/1/iterations:5:readdir_and_pass_ms", 1.0);

}  // namespace
