// The Linux backend's key translation: every key the program uses from its X key symbol, the
// two Shifts told apart, keys the program does not use kept out of the key table, the digit row
// by its key and every other key by the symbol it types on any layout, and the repeats of a held
// key (the Shifts too) with Alt keeping keys out.
#include "backends/x11/x11_keys.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <set>
#include <vector>

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
    // The Linux program's own keys.
    {XK_space, key::space},
    {XK_Return, key::enter},
    {XK_KP_Enter, key::enter},
    {XK_BackSpace, key::backSpace},
    {XK_Left, key::left},
    {XK_Right, key::right},
    {XK_Home, key::home},
    {XK_End, key::end},
    {XK_w, key::w},
    {XK_W, key::w},
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
                                  XK_Tab,
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

TEST(X11KeysTest, TheDigitRowByItsKeyEverythingElseByTheSymbolItTypes) {
  const struct {
    std::vector<unsigned long> symbols;  // the key's levels in the active group
    unsigned long typed;                 // what it types with the modifiers held
    int key;
  } cases[] = {
      {{XK_1, XK_exclam}, XK_1, key::digit0 + 1},  // a digit row unshifted
      {{XK_1, XK_exclam}, XK_exclam, key::digit0 + 1},
      {{XK_ampersand, XK_1}, XK_ampersand, key::digit0 + 1},  // shifted, as on AZERTY
      {{XK_eacute, XK_2, XK_asciitilde}, XK_eacute, key::digit0 + 2},
      {{XK_agrave, XK_0, XK_at}, XK_at, key::digit0},
      {{XK_KP_End, XK_KP_1}, XK_KP_1, -1},  // the keypad's digits stay unused
      {{XK_comma, XK_question}, XK_comma, key::comma},
      {{XK_semicolon, XK_period}, XK_semicolon, -1},
      {{XK_t, XK_T}, XK_T, key::t},
      {{XK_bracketleft, XK_braceleft}, XK_bracketleft, key::leftBracket},
      {{XK_bracketleft, XK_braceleft}, XK_braceleft, -1},
      {{XK_Cyrillic_ie, XK_Cyrillic_IE}, XK_Cyrillic_ie, -1},
      {{}, 0, -1},
      // German: AltGr with 8 and 9 types the brackets, not the digits.
      {{XK_8, XK_parenleft, XK_bracketleft}, XK_bracketleft, key::leftBracket},
      {{XK_9, XK_parenright, XK_bracketright, XK_plusminus}, XK_bracketright, key::rightBracket},
      {{XK_8, XK_parenleft, XK_bracketleft}, XK_parenleft, key::digit0 + 8},
      // French: the period is shifted, the brackets are AltGr with 5 and the degree key.
      {{XK_semicolon, XK_period}, XK_period, key::period},
      {{XK_parenleft, XK_5, XK_bracketleft}, XK_bracketleft, key::leftBracket},
      {{XK_parenleft, XK_5, XK_bracketleft}, XK_parenleft, key::digit0 + 5},
      {{XK_parenright, XK_degree, XK_bracketright}, XK_bracketright, key::rightBracket},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(x11::KeyFromSymbols(c.symbols.data(), static_cast<int>(c.symbols.size()), c.typed),
              c.key)
        << (c.symbols.empty() ? 0 : c.symbols[0]) << " typing " << c.typed;
  }
  EXPECT_TRUE(x11::IsAltKeysym(XK_Alt_L) && x11::IsAltKeysym(XK_Alt_R));
  EXPECT_FALSE(x11::IsAltKeysym(XK_ISO_Level3_Shift));  // AltGr
}

TEST(X11KeysTest, AHeldKeyRepeatsAsTheSystemWouldAndAltKeepsKeysOut) {
  // Key codes of one keyboard: period, Control and Shift (modifiers, which the server does not
  // repeat), left Alt, T.
  const x11::RawKeyPress period{60, key::period, false, true};
  const x11::RawKeyPress control{37, -1, false, x11::RepeatsWhileHeld(-1, false, true)};
  const x11::RawKeyPress shift{50, key::leftShift, false,
                               x11::RepeatsWhileHeld(key::leftShift, false, true)};
  const x11::RawKeyPress alt{64, -1, true, false};
  EXPECT_FALSE(x11::RepeatsWhileHeld(key::leftShift, true, false));  // auto-repeat off
  const x11::RawKeyPress t{28, key::t, false, true};
  enum Kind { press, release, tick, lost };  // lost: a repeat due, the key up at the server
  const struct {
    Kind kind;
    std::int64_t at;
    x11::RawKeyPress press;  // the key pressed or released
    int latched;             // what reaches the key table, -1 for nothing
  } steps[] = {
      {press, 1000, period, key::period},
      {tick, 1499, period, -1},  // the delay is not over
      {tick, 1500, period, key::period},
      {tick, 1519, period, -1},
      {tick, 1520, period, key::period},
      {tick, 1900, period, key::period},  // a busy program gets one repeat, not twenty
      {tick, 1919, period, -1},
      {press, 1920, control, -1},  // a modifier leaves the period repeating
      {tick, 1920, period, key::period},
      {release, 1930, control, -1},
      {press, 1940, alt, -1},
      {tick, 1940, period, -1},  // repeats while Alt is held are not taken
      {press, 1950, t, -1},      // nor presses; T now repeats in the period's place
      {release, 1960, alt, -1},
      {tick, 2449, t, -1},
      {tick, 2450, t, key::t},
      {release, 2460, t, -1},
      {tick, 3000, t, -1},  // released keys stop
      {press, 3000, period, key::period},
      {lost, 3500, period, -1},  // its release was missed: no repeat, and none after it
      {tick, 4000, period, -1},
      {press, 4000, shift, key::leftShift},  // a held Shift scrolls on, as on Windows
      {tick, 4500, shift, key::leftShift},
      {tick, 4520, shift, key::leftShift},
      {release, 4530, shift, -1},
      {tick, 5000, shift, -1},
  };
  x11::KeyRepeat repeat;
  repeat.SetRate(500, 20);
  for (const auto& s : steps) {
    int latched = -1;
    if (s.kind == press) latched = repeat.Press(s.press, s.at);
    if (s.kind == release) repeat.Release(s.press.keycode);
    if (s.kind == tick || s.kind == lost) latched = repeat.Repeat(s.at, s.kind == tick);
    EXPECT_EQ(latched, s.latched) << "at " << s.at;
  }
  EXPECT_EQ(repeat.MsUntilRepeat(5000), -1);
}

class X11KeyTableTest : public ProgramTest {};

TEST_F(X11KeyTableTest, TranslatedKeysReachTheKeyTableAndNothingElseDoes) {
  // What the backend does with each raw key press: translate, then KeyPressed when used.
  const unsigned long pressed[] = {XK_t, XK_Shift_R, XK_a, XK_F1, XK_KP_1, XK_9};
  for (unsigned long keysym : pressed) {
    int key = x11::KeyFromKeysym(keysym);
    if (key >= 0) KeyPressed(trove.input, key);
  }
  std::set<int> down;
  for (int k = 0; k < 256; ++k) {
    if (KeyDown(trove.input, k)) down.insert(k);
  }
  EXPECT_EQ(down, (std::set<int>{key::t, key::rightShift, key::digit0 + 9}));
}

}  // namespace
