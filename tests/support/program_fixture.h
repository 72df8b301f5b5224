// A test fixture that starts every test from a clean program and a fresh headless backend.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "browser/thumbnail_page.h"
#include "shell/main_loop.h"

#include "platform/headless/headless.h"
#include "shell/reset.h"

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgram();
    headless::Reset();
  }
  void TearDown() override { ResetProgram(); }

  headless::State& os() { return headless::state(); }

  // Passes until the thumbnail page begun is drawn whole (its pictures arrive from workers);
  // returns how many passes that took.
  int PassesUntilPageDrawn() {
    int passes = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    do {
      RunPass();
      ++passes;
      if (ThumbnailPageInProgress()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    } while (ThumbnailPageInProgress() && std::chrono::steady_clock::now() < deadline);
    EXPECT_FALSE(ThumbnailPageInProgress());
    return passes;
  }
};
