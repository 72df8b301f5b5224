// Translating X keys into the program's own key codes, and the held keys' repeats.
#pragma once

#include <bitset>
#include <cstdint>

namespace x11 {

// The key code (input/keys.h) for an X key symbol as the key's first level gives it, or -1
// for a key the program does not use, which then never reaches the key table.
int KeyFromKeysym(unsigned long keysym);

// The key code for a key with these symbols, its shift levels of the active group from the
// first, pressed with modifiers that make it type the symbol typed: a key acts as the symbol it
// types (AltGr's [ and ] on a German layout, a shifted period on a French one), except that the
// digit row goes by its key, so a main-row digit at any level makes the key that digit (on
// layouts whose digit row is shifted, too) unless the key types another of the program's keys.
int KeyFromSymbols(const unsigned long* symbols, int count, unsigned long typed);

// Whether a held key repeats: the keys the server repeats, and both Shifts, which scroll the
// list and repeat as on Windows although the server repeats no modifier. Nothing repeats while
// the server's auto-repeat is off.
bool RepeatsWhileHeld(int key, bool serverRepeatsKey, bool autoRepeatOn);

// Whether a key's first-level symbol is either Alt (AltGr is not).
bool IsAltKeysym(unsigned long keysym);

// One raw key press as the backend saw it.
struct RawKeyPress {
  int keycode = 0;       // the X key code, 0 .. 255
  int key = -1;          // the program's key code, -1 for a key it does not use
  bool alt = false;      // either Alt
  bool repeats = false;  // the server repeats this key while it is held
};

// Turns raw presses and releases into the key-downs the key table takes, as a system's own
// auto-repeat would: a held key repeats after the delay at the interval, only the key pressed
// last among those the server repeats, and no key counts while either Alt is held. Times are
// milliseconds on one steady clock.
class KeyRepeat {
 public:
  void SetRate(int delayMs, int intervalMs);
  // The key code to latch for the press, or -1.
  int Press(const RawKeyPress& press, std::int64_t now);
  void Release(int keycode);
  // Forgets every key held (the keyboard went to another window).
  void Reset();
  // The key code of the repeating key when its repeat is due at now, or -1 for none.
  int RepeatingKeycode(std::int64_t now) const;
  // Milliseconds from now until the next repeat is due (0 when overdue), or -1 for none.
  int MsUntilRepeat(std::int64_t now) const;
  // The key code to latch for the repeat due at now, or -1. held says whether the server still
  // has the repeating key down: a key whose release was missed stops repeating.
  int Repeat(std::int64_t now, bool held);

 private:
  std::bitset<256> altHeld_;
  RawKeyPress repeating_;
  bool active_ = false;
  std::int64_t due_ = 0;
  int delayMs_ = 660;
  int intervalMs_ = 40;
};

}  // namespace x11
