// The display state, the canvas images and their presentation through one pixel blit per pass.
#pragma once

#include <cstdint>

// What F6, F5 and F8 choose: the movable 1280 x 960 canvas, half the screen at zoom 2, or the
// whole screen.
enum class DisplayMode : std::int32_t { movable1280 = 0, halfScreen = 1, wholeScreen = 2 };

// Canvas size, zoom, display mode, scroll offsets, window origin and screen size.
// The cursor and the window's client area on the screen, as read once at the start of a pass:
// every decision of the pass maps this one reading. Outside a pass nothing is read ahead, and
// each mapping reads the system anew.
struct CursorReading {
  bool read = false;
  int x = 0;
  int y = 0;
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  bool operator==(const CursorReading&) const = default;
};

struct DisplayState {
  int canvasWidth = 0;
  int canvasHeight = 0;
  int zoom = 2;
  DisplayMode displayMode = DisplayMode::halfScreen;
  int scrollX = 0;  // offset of the list panel and the overlay, x right
  int scrollY = 0;  // y up; negative moves them down
  int windowX = 0;  // window's top-left corner on the screen, as set by follow-mouse
  int windowY = 0;
  int screenWidth = 0;
  int screenHeight = 0;
  // 2 on a screen of 144 dpi or more (the Linux program): every mode draws at twice its zoom on
  // a canvas half its size, so that text and cells keep their size on the screen.
  int scale = 1;
  CursorReading cursor;  // the pass's reading, while a pass runs

  bool operator==(const DisplayState&) const = default;
};

// The three canvas images, replaced as a set by SetCanvasSize. Row 0 is the bottom row.
struct CanvasImages {
  std::uint8_t* frameBuffer = nullptr;  // R, G, B, A per pixel: what is presented
  std::uint8_t* savedView = nullptr;    // copy of the last finished view
  std::int32_t* pickBuffer = nullptr;   // PickId per pixel, 0 for nothing clickable
};

// The display: its state and the canvas images sized by it, kept together so that a canvas is
// never read at a size other than the one its images were made for. It owns the images and
// releases them when it ends.
struct Display {
  DisplayState displayState;
  CanvasImages canvas;
  // Moved on whenever the canvas is made anew.
  std::uint32_t revision = 0;

  Display() = default;
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;
  ~Display();
};

// Display mode 0's canvas, 1280 x 960 at zoom 1: the one canvas that the M key moves around
// the screen, and the only one whose position the list and the player's window allow for.
constexpr int movableCanvasWidth = 1280;
constexpr int movableCanvasHeight = 960;
// Whether a canvas of this width counts as the movable one. The width alone decides: a
// half-screen or whole-screen canvas that happens to be 1280 wide counts as well.
constexpr bool IsMovableCanvas(int canvasWidth) { return canvasWidth == movableCanvasWidth; }

// Half of a screen dimension, one less when the dimension is odd (display mode 1).
int HalfScreen(int dimension);

// Puts the list panel and the overlay back at the canvas origin.
void ResetScroll(DisplayState& d);

// Gives the canvas a new size and replaces the three images (contents undefined until the
// next view draws). A size whose images cannot be obtained ends the program with a message.
void SetCanvasSize(Display& display, int width, int height);

// Releases the three images (shutdown).
void ReleaseCanvas(Display& display);

// Blits the FrameBuffer into the window at the current zoom and swaps the buffers.
void PresentFrame(const Display& display);
