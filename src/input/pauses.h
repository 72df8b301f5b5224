// How long each command pauses the main thread after acting, in milliseconds. No message is
// pumped meanwhile, so the hooks latch nothing until it ends: a held key or a click does not
// act more than once.
#pragma once

namespace pauseAfter {
constexpr int scrollStep = 30;       // comma, period and the Shift keys moving the list
constexpr int pageTurn = 150;        // the next or previous thumbnail page
constexpr int viewSwitch = 180;      // T, and a directory just entered or left
constexpr int playerStart = 340;     // the player opening its window before it is looked for
constexpr int pictureOpen = 350;     // a thumbnail clicked to open its picture
constexpr int oneShotKey = 450;      // the overlay switched (0) or the explorer opened (F7)
constexpr int click = 480;           // a right click that selected a row or pressed a button
constexpr int directoryClick = 650;  // a right click that entered or left a directory
}  // namespace pauseAfter
