// The program's key codes: the Windows virtual-key numbers that index the KeyTable.
#pragma once

namespace key {
constexpr int escape = 27;
constexpr int digit0 = 48;  // main keyboard row; digit n is digit0 + n
constexpr int m = 77;
constexpr int n = 78;
constexpr int p = 80;
constexpr int r = 82;
constexpr int t = 84;
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
}  // namespace key
