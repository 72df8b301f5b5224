// Cursor mapping into canvas coordinates and the hook latches.
#include "display/display.h"
#include "input/input.h"
#include "input/input_events.h"
#include "backends/headless/headless.h"
#include "support/program_fixture.h"

namespace {

class InputTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    SetCanvasSize(display, 960, 540);
    displayState.zoom = 2;
    os().windowRect = {0, 0, 1920, 1080};
  }
};

TEST_F(InputTest, MapsScreenPositionsInSinglePrecision) {
  os().cursor = {101, 50};
  EXPECT_EQ(CursorCanvasX(displayState), 50);
  EXPECT_EQ(CursorCanvasY(displayState), 515);
  // 126 / 1920 * 960 is 62.999996 in single precision: column 62, not 63.
  os().cursor = {126, 0};
  EXPECT_EQ(CursorCanvasX(displayState), 62);
}

TEST_F(InputTest, ClampsCursorOutsideEachEdge) {
  os().cursor = {-10, -10};
  EXPECT_EQ(CursorCanvasX(displayState), 0);
  EXPECT_EQ(CursorCanvasY(displayState), 539);
  os().cursor = {1930, 1090};
  EXPECT_EQ(CursorCanvasX(displayState), 959);
  EXPECT_EQ(CursorCanvasY(displayState), 0);
}

TEST_F(InputTest, EmptyWindowRectangleMapsToZero) {
  os().windowRect = {0, 0, 0, 0};
  os().cursor = {100, 100};
  EXPECT_EQ(CursorCanvasX(displayState), 0);
  EXPECT_EQ(CursorCanvasY(displayState), 0);
}

TEST_F(InputTest, LatchesKeysOfTheTableAndRightPressesUntilCleared) {
  KeyPressed(trove.input, 84);
  KeyPressed(trove.input, 300);  // outside the table: ignored
  KeyPressed(trove.input, -1);
  EXPECT_TRUE(KeyDown(trove.input, 84));
  EXPECT_FALSE(KeyDown(trove.input, 85));
  EXPECT_FALSE(KeyDown(trove.input, 300));
  EXPECT_EQ(trove.input.mouseLatches.rightDown, 0);
  RightButtonPressed(trove.input);
  EXPECT_EQ(trove.input.mouseLatches.rightDown, 1);

  ClearInputLatches(trove.input);
  EXPECT_FALSE(KeyDown(trove.input, 84));
  EXPECT_EQ(trove.input.mouseLatches.rightDown, 0);
}

TEST_F(InputTest, InstallsMouseHookBeforeKeyboardHook) {
  InstallInputHooks();
  ASSERT_EQ(os().calls.size(), 2u);
  EXPECT_EQ(os().calls[0], "InstallMouseHook");
  EXPECT_EQ(os().calls[1], "InstallKeyboardHook");
}

TEST_F(InputTest, AHookThatCannotBeInstalledEndsTheStart) {
  os().hookFails[1] = true;
  EXPECT_THROW(InstallInputHooks(), headless::ProgramExit);
  ASSERT_EQ(os().messageBoxes.size(), 1u);
  EXPECT_EQ(os().messageBoxes[0].text, "The keyboard hook could not be installed.");
  EXPECT_EQ(os().messageBoxes[0].caption, "ERROR");
}

}  // namespace
