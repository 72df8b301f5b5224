// A test fixture that starts every test from a clean program and a fresh headless backend.
#pragma once

#include <gtest/gtest.h>

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
};
