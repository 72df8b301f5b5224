// A test fixture that starts every test from a clean program and a fresh headless backend.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "browser/thumbnail_page.h"
#include "shell/main_loop.h"

#include "backends/headless/headless.h"
#include "canvas/glyph_cache.h"
#include "shell/startup.h"
#include "shell/trove.h"

class ProgramTest : public ::testing::Test {
 protected:
  // The glyphs kept come from the stand-in fonts of the backend as it was reset.
  void SetUp() override {
    headless::Reset();
    ForgetGlyphs();
  }

  headless::State& os() { return headless::state(); }

  // The program's state, fresh for every test, and the parts of it most tests draw with.
  Trove trove;
  Display& display = trove.display;
  DisplayState& displayState = trove.display.displayState;
  CanvasImages& canvas = trove.display.canvas;
  Browser& browser = trove.browser;
  TextureLoader& textureLoader = trove.pictures.textureLoader;
  PictureInfo& pictureInfo = trove.pictures.pictureInfo;

  // Passes until the thumbnail page begun is drawn whole (its pictures arrive from workers).
  void PassesUntilPageDrawn() {
    for (int i = 0; i < 60000 && (i == 0 || ThumbnailPageInProgress(browser)); ++i) {
      RunPass(trove);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_FALSE(ThumbnailPageInProgress(browser));
  }
};
