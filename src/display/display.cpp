// Display state, canvas images and presentation.
#include "display/display.h"

#include <cstdlib>

#include "display/start_up_failure.h"
#include "platform/platform.h"

int HalfScreen(int dimension) { return dimension % 2 != 0 ? dimension / 2 - 1 : dimension / 2; }

void ResetScroll(DisplayState& d) {
  d.scrollX = 0;
  d.scrollY = 0;
}

void ReleaseCanvas(Display& display) {
  CanvasImages& canvas = display.canvas;
  std::free(canvas.frameBuffer);
  std::free(canvas.savedView);
  std::free(canvas.pickBuffer);
  canvas = CanvasImages{};
}

Display::~Display() { ReleaseCanvas(*this); }

void SetCanvasSize(Display& display, int width, int height) {
  ++display.revision;
  display.displayState.canvasWidth = width;
  display.displayState.canvasHeight = height;
  ReleaseCanvas(display);
  CanvasImages& canvas = display.canvas;
  // A canvas is never empty: even a degenerate size gets one pixel of storage, so that the
  // clamped cursor position always indexes inside the PickBuffer.
  std::size_t pixels = width > 0 && height > 0
                           ? static_cast<std::size_t>(width) * static_cast<std::size_t>(height)
                           : 1;
  canvas.frameBuffer = static_cast<std::uint8_t*>(std::calloc(pixels, 4));
  canvas.savedView = static_cast<std::uint8_t*>(std::calloc(pixels, 4));
  canvas.pickBuffer = static_cast<std::int32_t*>(std::calloc(pixels, 4));
  if (!canvas.frameBuffer || !canvas.savedView || !canvas.pickBuffer) {
    FailStartUpBlock("the canvas images");
  }
}

void PresentFrame(const Display& display) {
  const DisplayState& d = display.displayState;
  platform::GlPresent(display.canvas.frameBuffer, d.canvasWidth, d.canvasHeight, d.zoom);
}
