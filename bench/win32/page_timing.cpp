// page_timing <folder>: times, with the Windows picture loader, a thumbnail page of the folder
// at 1280 x 960 with 200-pixel cells: decoding its pictures one after another alone, the page
// seen for the first time (workers, nothing kept) and the page revisited (every cell kept).
// Prints the times and their ratios; asserts nothing (a measurement, run under Wine).
#include <windows.h>
#include <ole2.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "browser/directory.h"
#include "browser/browser.h"
#include "browser/page_decoder.h"
#include "browser/picture_sampling.h"
#include "browser/picture_view.h"
#include "browser/thumbnail_page.h"
#include "browser/thumbnail_page.h"
#include "browser/thumbnail_cache.h"
#include "display/display.h"
#include "pictures/texture_loader.h"
#include "platform/platform.h"
#include "page_program.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double DrawPage(Trove& trove) {
  const auto start = std::chrono::steady_clock::now();
  trove.browser.browserMode = BrowserMode{BrowserView::thumbnailsToDraw};
  DrawThumbnailPage(trove.browser, trove.display, trove.pictures);
  return Seconds(start);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: page_timing <folder>\n");
    return 2;
  }
  OleInitialize(nullptr);
  Trove trove;
  Browser& browser = trove.browser;
  if (!SetUpPageProgram(trove, argv[1])) return 1;

  RescanBrowsedDirectory(browser);
  std::vector<std::string> paths;
  for (int k = 1; k <= browser.fileList.count; ++k) {
    const std::string name = browser.fileList.names[k];
    if (name.size() > 4 && name.substr(name.size() - 4) == ".jpg") {
      paths.push_back(std::string(browser.browsedPath) + "\\" + name);
    }
  }
  DrawPage(trove);  // files in the file cache, as for a page shown again after a while

  // The page's decode jobs on their own, on the calling thread alone and with the workers:
  // how much the platform loader gains from more threads.
  std::vector<PageJob> jobs;
  for (const std::string& path : paths) {
    PageJob job;
    job.path = path;
    job.cellWidth = browser.pictureViews.cellWidth;
    jobs.push_back(job);
  }
  auto runJobs = [&](int workers) {
    const auto start = std::chrono::steady_clock::now();
    PageDecoder decoder(jobs, workers, browser.thumbnailPages.decodeGate);
    for (std::size_t i = 0; i < jobs.size(); ++i) decoder.Result(i);
    return Seconds(start);
  };

  constexpr int rounds = 3;
  double decode = 0.0;
  double cold = 0.0;
  double revisit = 0.0;
  double jobsAlone = 0.0;
  double jobsWorkers = 0.0;
  int decoded = 0;
  for (int round = 0; round < rounds; ++round) {
    jobsAlone += runJobs(0);
    jobsWorkers += runJobs(PageWorkerCount(jobs.size()));
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& path : paths) {
      platform::DecodedPicture picture;
      if (platform::DecodePicture(path.c_str(), PictureFitsBuffer, &picture)) {
        ++decoded;
        platform::ReleasePicture(&picture);
      }
    }
    decode += Seconds(start);
    browser.thumbnailCache.Clear();
    cold += DrawPage(trove);
    revisit += DrawPage(trove);
  }
  std::printf("Windows picture loader, %zu pictures, page of 1280x960 with 200-pixel cells:\n",
              paths.size());
  std::printf("  decoding them one after another: %8.1f ms\n", decode / rounds * 1e3);
  std::printf("  page cold (workers):             %8.1f ms\n", cold / rounds * 1e3);
  std::printf("  page revisited (from memory):    %8.1f ms\n", revisit / rounds * 1e3);
  std::printf("  cold / decoding alone:           %8.3f\n", decode > 0 ? cold / decode : 0.0);
  std::printf("  revisited / cold:                %8.3f\n", cold > 0 ? revisit / cold : 0.0);
  std::printf("  decoded per round: %d of %zu\n", decoded / rounds, paths.size());
  std::printf("  the page's jobs on one thread:   %8.1f ms\n", jobsAlone / rounds * 1e3);
  std::printf("  the page's jobs with %d workers:  %8.1f ms (and the calling thread)\n",
              PageWorkerCount(jobs.size()), jobsWorkers / rounds * 1e3);
  OleUninitialize();
  return 0;
}
