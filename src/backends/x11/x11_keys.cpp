// The keys the program uses, from their X key symbols: letters in either case, the main-row
// digits, the brackets, comma and period, both Shifts told apart, Escape and F5 to F8; and the
// repeats of a held key, which raw key events do not carry.
#include "backends/x11/x11_keys.h"

#include <X11/keysym.h>

#include "input/keys.h"

namespace x11 {

int KeyFromKeysym(unsigned long keysym) {
  if (keysym >= XK_0 && keysym <= XK_9) return key::digit0 + static_cast<int>(keysym - XK_0);
  switch (keysym) {
    case XK_Escape:
      return key::escape;
    case XK_space:
      return key::space;
    case XK_Return:
    case XK_KP_Enter:
      return key::enter;
    case XK_BackSpace:
      return key::backSpace;
    case XK_Left:
      return key::left;
    case XK_Right:
      return key::right;
    case XK_Home:
      return key::home;
    case XK_End:
      return key::end;
    case XK_w:
    case XK_W:
      return key::w;
    case XK_m:
    case XK_M:
      return key::m;
    case XK_n:
    case XK_N:
      return key::n;
    case XK_p:
    case XK_P:
      return key::p;
    case XK_r:
    case XK_R:
      return key::r;
    case XK_t:
    case XK_T:
      return key::t;
    case XK_F5:
      return key::f5;
    case XK_F6:
      return key::f6;
    case XK_F7:
      return key::f7;
    case XK_F8:
      return key::f8;
    case XK_Shift_L:
      return key::leftShift;
    case XK_Shift_R:
      return key::rightShift;
    case XK_comma:
      return key::comma;
    case XK_period:
      return key::period;
    case XK_bracketleft:
      return key::leftBracket;
    case XK_bracketright:
      return key::rightBracket;
    default:
      return -1;
  }
}

int KeyFromSymbols(const unsigned long* symbols, int count, unsigned long typed) {
  const int typedKey = KeyFromKeysym(typed);
  const bool typesDigit = typed >= XK_0 && typed <= XK_9;
  if (typedKey >= 0 && !typesDigit) return typedKey;
  for (int level = 0; level < count; ++level) {
    if (symbols[level] >= XK_0 && symbols[level] <= XK_9) return KeyFromKeysym(symbols[level]);
  }
  return typedKey;
}

bool RepeatsWhileHeld(int key, bool serverRepeatsKey, bool autoRepeatOn) {
  return autoRepeatOn && (serverRepeatsKey || key == key::leftShift || key == key::rightShift);
}

bool IsAltKeysym(unsigned long keysym) { return keysym == XK_Alt_L || keysym == XK_Alt_R; }

void KeyRepeat::SetRate(int delayMs, int intervalMs) {
  if (delayMs > 0) delayMs_ = delayMs;
  if (intervalMs > 0) intervalMs_ = intervalMs;
}

int KeyRepeat::Press(const RawKeyPress& press, std::int64_t now) {
  if (press.keycode < 0 || press.keycode > 255) return -1;
  if (press.alt) altHeld_.set(static_cast<std::size_t>(press.keycode));
  // A key that does not repeat (a modifier, most often) leaves the held key repeating.
  if (press.repeats) {
    repeating_ = press;
    active_ = true;
    due_ = now + delayMs_;
  }
  return altHeld_.any() ? -1 : press.key;
}

void KeyRepeat::Release(int keycode) {
  if (keycode < 0 || keycode > 255) return;
  altHeld_.reset(static_cast<std::size_t>(keycode));
  if (active_ && repeating_.keycode == keycode) active_ = false;
}

void KeyRepeat::Reset() {
  altHeld_.reset();
  active_ = false;
}

int KeyRepeat::RepeatingKeycode(std::int64_t now) const {
  return active_ && now >= due_ ? repeating_.keycode : -1;
}

int KeyRepeat::MsUntilRepeat(std::int64_t now) const {
  if (!active_) return -1;
  return due_ <= now ? 0 : static_cast<int>(due_ - now);
}

int KeyRepeat::Repeat(std::int64_t now, bool held) {
  if (RepeatingKeycode(now) < 0) return -1;
  if (!held) {
    active_ = false;
    return -1;
  }
  // Repeats missed while the program was busy are not made up: one is due at a time.
  due_ = now + intervalMs_;
  return altHeld_.any() ? -1 : repeating_.key;
}

}  // namespace x11
