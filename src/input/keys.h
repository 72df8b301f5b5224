// The program's key codes: the Windows virtual-key numbers that index the KeyTable.
#pragma once

namespace key {
constexpr int backSpace = 8;
constexpr int enter = 13;
constexpr int escape = 27;
constexpr int space = 32;
constexpr int end = 35;
constexpr int home = 36;
constexpr int left = 37;
constexpr int right = 39;
constexpr int digit0 = 48;  // main keyboard row; digit n is digit0 + n
constexpr int m = 77;
constexpr int n = 78;
constexpr int p = 80;
constexpr int r = 82;
constexpr int t = 84;
constexpr int w = 87;
constexpr int f5 = 116;
constexpr int f6 = 117;
constexpr int f7 = 118;
constexpr int f8 = 119;
constexpr int leftShift = 160;
constexpr int rightShift = 161;
constexpr int comma = 188;
constexpr int period = 190;
constexpr int leftBracket = 219;
constexpr int rightBracket = 221;
// The mouse wheel turned up or down a notch: the Linux program's own codes, in a range no
// Windows key uses.
constexpr int wheelUp = 14;
constexpr int wheelDown = 15;

// Keys and wheel notches only the Linux program acts on, and only from its own window: the
// Windows program and global input leave them alone, since they would act while the user types
// into another program.
constexpr bool IsDesktopKey(int k) {
  return k == backSpace || k == enter || k == space || k == end || k == home || k == left ||
         k == right || k == w || k == wheelUp || k == wheelDown;
}
}  // namespace key
