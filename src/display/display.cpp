// Display state, canvas images and presentation.
#include "display/display.h"

#include <cstdlib>

#include "base/start_up_failure.h"
#include "platform/platform.h"

DisplayState displayState;
CanvasImages canvas;

int HalfScreen(int dimension) { return dimension % 2 != 0 ? dimension / 2 - 1 : dimension / 2; }

void ResetScroll() {
  displayState.scrollX = 0;
  displayState.scrollY = 0;
}

void ReleaseCanvas() {
  std::free(canvas.frameBuffer);
  std::free(canvas.savedView);
  std::free(canvas.pickBuffer);
  canvas = CanvasImages{};
}

void SetCanvasSize(int width, int height) {
  displayState.canvasWidth = width;
  displayState.canvasHeight = height;
  ReleaseCanvas();
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

void PresentFrame() {
  platform::GlPresent(canvas.frameBuffer, displayState.canvasWidth, displayState.canvasHeight,
                      displayState.zoom);
}

void ResetDisplayState() {
  ReleaseCanvas();
  displayState = DisplayState{};
}
