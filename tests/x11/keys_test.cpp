// The Linux backend's key translation: every key the program uses from its X key symbol, the
// two Shifts told apart, and keys the program does not use kept out of the key table.
#include "platform/x11/x11_keys.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <set>

#include "input/input.h"
#include "input/input_events.h"
#include "input/keys.h"
#include "support/program_fixture.h"

namespace {

struct Translation {
  unsigned long keysym;
  int key;
};

// Every key the main loop reads, in both cases for the letters.
constexpr Translation usedKeys[] = {
    {XK_Escape, key::escape},
    {XK_t, key::t},
    {XK_T, key::t},
    {XK_p, key::p},
    {XK_P, key::p},
    {XK_n, key::n},
    {XK_N, key::n},
    {XK_r, key::r},
    {XK_R, key::r},
    {XK_m, key::m},
    {XK_M, key::m},
    {XK_bracketleft, key::leftBracket},
    {XK_bracketright, key::rightBracket},
    {XK_comma, key::comma},
    {XK_period, key::period},
    {XK_Shift_L, key::leftShift},
    {XK_Shift_R, key::rightShift},
    {XK_F5, key::f5},
    {XK_F6, key::f6},
    {XK_F7, key::f7},
    {XK_F8, key::f8},
};

TEST(X11KeysTest, EveryKeyTheProgramUsesHasItsCode) {
  for (const Translation& t : usedKeys) {
    EXPECT_EQ(x11::KeyFromKeysym(t.keysym), t.key) << "keysym " << t.keysym;
  }
  for (int n = 0; n <= 9; ++n) {
    EXPECT_EQ(x11::KeyFromKeysym(XK_0 + static_cast<unsigned long>(n)), key::digit0 + n) << n;
  }
  // The two Shifts scroll by different directions, so they must not meet in one code.
  EXPECT_NE(x11::KeyFromKeysym(XK_Shift_L), x11::KeyFromKeysym(XK_Shift_R));
}

TEST(X11KeysTest, KeysTheProgramDoesNotUseAreDropped) {
  // Letters and function keys without a command, the keypad's digits (not the main row),
  // the shifted brackets, other modifiers and keys whose Windows code would be a used one.
  // 0 is NoSymbol, what a key code without a symbol gives.
  const unsigned long unused[] = {XK_a,
                                  XK_Z,
                                  XK_F1,
                                  XK_F4,
                                  XK_F9,
                                  XK_F12,
                                  XK_KP_0,
                                  XK_KP_5,
                                  XK_braceleft,
                                  XK_braceright,
                                  XK_less,
                                  XK_greater,
                                  XK_Control_L,
                                  XK_Alt_L,
                                  XK_Caps_Lock,
                                  XK_space,
                                  XK_Return,
                                  XK_Tab,
                                  XK_BackSpace,
                                  XK_Left,
                                  XK_Delete,
                                  XK_semicolon,
                                  XK_slash,
                                  key::escape,
                                  key::leftShift,
                                  key::comma,
                                  key::leftBracket,
                                  0};
  for (unsigned long keysym : unused) {
    EXPECT_EQ(x11::KeyFromKeysym(keysym), -1) << "keysym " << keysym;
  }
}

class X11KeyTableTest : public ProgramTest {};

TEST_F(X11KeyTableTest, TranslatedKeysReachTheKeyTableAndNothingElseDoes) {
  // What the backend does with each raw key press: translate, then KeyPressed when used.
  const unsigned long pressed[] = {XK_t, XK_Shift_R, XK_a, XK_F1, XK_KP_1, XK_9};
  for (unsigned long keysym : pressed) {
    int key = x11::KeyFromKeysym(keysym);
    if (key >= 0) KeyPressed(key);
  }
  std::set<int> down;
  for (int k = 0; k < 256; ++k) {
    if (KeyDown(trove.input, k)) down.insert(k);
  }
  EXPECT_EQ(down, (std::set<int>{key::t, key::rightShift, key::digit0 + 9}));
}

}  // namespace
