// A clean program with an allocated file list, a canvas and a window, plus a temporary
// directory tree that is removed again, for the browser's tests.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "browser/file_list.h"
#include "browser/picture_sampling.h"
#include "browser/picture_view.h"
#include "browser/thumbnail_page.h"
#include "canvas/canvas.h"
#include "display/display.h"
#include "input/input.h"
#include "pictures/texture_loader.h"
#include "support/program_fixture.h"

// A directory under /tmp that lives as long as the object.
class TempTree {
 public:
  TempTree() {
    char pattern[] = "/tmp/trove-browser-XXXXXX";
    if (mkdtemp(pattern)) root_ = pattern;
  }
  ~TempTree() {
    std::error_code ignored;
    if (!root_.empty()) std::filesystem::remove_all(root_, ignored);
  }
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  const std::string& root() const { return root_; }
  std::string Dir(const std::string& relative) const {
    std::filesystem::create_directories(root_ + "/" + relative);
    return root_ + "/" + relative;
  }
  void File(const std::string& relative, const std::string& contents = "") const {
    std::ofstream(root_ + "/" + relative, std::ios::binary) << contents;
  }

 private:
  std::string root_;
};

class BrowserTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    startDirectory_ = std::filesystem::current_path();
    AllocateFileList(browser.fileList);
    UseCanvas(640, 480, 1, 2);
  }
  void TearDown() override {
    std::filesystem::current_path(startDirectory_);
    ProgramTest::TearDown();
  }

  // Canvas of width x height shown at zoom in a window at (0, 0) of the matching size.
  void UseCanvas(int width, int height, int mode, int zoom) {
    SetCanvasSize(display, width, height);
    displayState.displayMode = static_cast<DisplayMode>(mode);
    displayState.zoom = zoom;
    os().windowRect = {0, 0, width * zoom, height * zoom};
  }

  // Puts the cursor on canvas pixel (x, y).
  void PointAt(int x, int y) {
    const platform::ScreenRect& r = os().windowRect;
    for (int sx = r.left; sx < r.right; ++sx) {
      os().cursor.x = sx;
      if (CursorCanvasX(displayState) == x) break;
    }
    for (int sy = r.top; sy < r.bottom; ++sy) {
      os().cursor.y = sy;
      if (CursorCanvasY(displayState) == y) break;
    }
    ASSERT_EQ(CursorCanvasX(displayState), x);
    ASSERT_EQ(CursorCanvasY(displayState), y);
  }

  // A right click latched on a pixel that carries id, as a drawn row or thumbnail would.
  void ClickOn(std::int32_t id, int x = 100, int y = 200) {
    PointAt(x, y);
    SetPickId(display, x, y, id);
    trove.input.mouseLatches.rightDown = 1;
  }

  // Entries set by hand: name and kind of entry k.
  void SetEntry(int k, const char* name, int kind) {
    StoreEntry(browser.fileList, k, name, static_cast<EntryKind>(kind));
  }

  void SetPath(char* path, const std::string& text) {
    std::snprintf(path, pathBufferSize, "%s", text.c_str());
  }

  std::filesystem::path startDirectory_;
};

// The canvas images copied out, for comparing what two ways of drawing drew.
struct Canvases {
  std::vector<std::uint8_t> frame;
  std::vector<std::int32_t> pick;
  bool operator==(const Canvases&) const = default;
};

inline Canvases Snapshot(const Display& display) {
  const DisplayState& d = display.displayState;
  const CanvasImages& canvas = display.canvas;
  const std::size_t n = static_cast<std::size_t>(d.canvasWidth) * d.canvasHeight;
  return {std::vector<std::uint8_t>(canvas.frameBuffer, canvas.frameBuffer + n * 4),
          std::vector<std::int32_t>(canvas.pickBuffer, canvas.pickBuffer + n)};
}

// Opens entry k as a click does and takes its picture once its thread has decoded it.
inline After OpenAndCollect(Browser& browser, DisplayState& d, Pictures& pictures, int entry) {
  const After after = OpenPicture(browser, d, pictures, entry);
  while (PictureOpeningPending(browser)) {
    CollectOpenedPicture(browser, d, pictures);
    std::this_thread::yield();
  }
  return after;
}

// The browser at 960 x 540 with a PictureBuffer, browsing the folder `pictures` of a temporary
// tree from the start directory `work`.
class PictureFolderTest : public BrowserTest {
 protected:
  void SetUp() override {
    BrowserTest::SetUp();
    textureLoader.pixels = static_cast<std::uint8_t*>(std::malloc(pictureBufferBytes));
    ASSERT_NE(textureLoader.pixels, nullptr);
    pictures = tree.Dir("pictures");
    work = tree.Dir("work");
    SetPath(browser.browsedPath, pictures);
    SetPath(browser.workingDirectory, work);
    std::filesystem::current_path(work);
    UseCanvas(960, 540, 1, 2);
    browser.pictureViews.overlayShown = true;
  }

  TempTree tree;
  std::string pictures;
  std::string work;
};
