// Drawing into the canvas images: clearing, pixels, identifiers, lines, outlines, the cursor
// cross, and saving and restoring the finished view.
#pragma once

#include <cstdint>

#include "display/display.h"

// PickId ranges: the one definition of what an identifier in the PickBuffer means.
namespace pick {
constexpr std::int32_t none = 0;
constexpr std::int32_t thumbnailBase = 4000;  // 4000 + k: thumbnail picture of entry k
constexpr std::int32_t listRowBase = 12000;   // 12000 + k: list row of entry k
constexpr std::int32_t thumbnailsButton = 1200000;
constexpr std::int32_t bracketLeftButton = 1200001;
constexpr std::int32_t bracketRightButton = 1200002;
constexpr std::int32_t centerButton = 1200003;

// The Linux program's longer lists go on, from entry 3000, in ranges of their own far above the
// buttons' identifiers: thumbnails from thumbnailWideBase + 3000, list rows from
// listRowWideBase + 3000, each up to entry wideSpan - 1.
constexpr int firstWideEntry = 3000;
constexpr std::int32_t wideSpan = 1 << 28;
constexpr std::int32_t thumbnailWideBase = wideSpan;
constexpr std::int32_t listRowWideBase = 2 * wideSpan;

constexpr std::int32_t ThumbnailId(int k) {
  return k < firstWideEntry ? thumbnailBase + k : thumbnailWideBase + k;
}
constexpr std::int32_t ListRowId(int k) {
  return k < firstWideEntry ? listRowBase + k : listRowWideBase + k;
}
constexpr bool IsThumbnail(std::int32_t id) {
  return (id > 3999 && id < 7000) ||
         (id >= thumbnailWideBase + firstWideEntry && id < thumbnailWideBase + wideSpan);
}
constexpr bool IsListRow(std::int32_t id) {
  return (id > 11999 && id < 15000) ||
         (id >= listRowWideBase + firstWideEntry && id < listRowWideBase + wideSpan);
}
// The entry of a thumbnail's or a list row's identifier.
constexpr int EntryOf(std::int32_t id) {
  if (id >= listRowWideBase) return id - listRowWideBase;
  if (id >= thumbnailWideBase) return id - thumbnailWideBase;
  return id >= listRowBase ? id - listRowBase : id - thumbnailBase;
}
}  // namespace pick

// Clears the GL buffers, every FrameBuffer byte and every PickBuffer entry.
void ClearCanvas(Display& display);

// Writes pixel (x, y) as (r, g, b, 255) if it lies on the canvas.
void PlotPixel(Display& display, int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b);

// Writes the PickBuffer entry (x, y) if it lies on the canvas.
void SetPickId(Display& display, int x, int y, std::int32_t id);

// The integer line from (x0, y0) to (x1, y1), both ends included.
void DrawLine(Display& display, int x0, int y0, int x1, int y1, std::uint8_t r, std::uint8_t g,
              std::uint8_t b);

// Four lines: bottom, right, left, top.
void DrawRectOutline(Display& display, int x0, int y0, int x1, int y1, std::uint8_t r,
                     std::uint8_t g, std::uint8_t b);

// White plus sign with arms of 5 pixels at the cursor.
void DrawCursorCross(Display& display);

void SaveView(Display& display);
void RestoreView(Display& display);

// The identifier under the cursor.
std::int32_t PickIdUnderCursor(const Display& display);
