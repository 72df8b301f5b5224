// The keys the program uses, from their X key symbols: letters in either case, the main-row
// digits, the brackets, comma and period, both Shifts told apart, Escape and F5 to F8.
#include "platform/x11/x11_keys.h"

#include <X11/keysym.h>

#include "input/keys.h"

namespace x11 {

int KeyFromKeysym(unsigned long keysym) {
  if (keysym >= XK_0 && keysym <= XK_9) return key::digit0 + static_cast<int>(keysym - XK_0);
  switch (keysym) {
    case XK_Escape:
      return key::escape;
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

}  // namespace x11
