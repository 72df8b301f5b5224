// Renders every printable character and a few everyday file names with the program's own text
// rendering and writes them as a PNG picture (at zoom 2 unless another zoom is given), so the
// font can be looked at as it appears on screen. Usage: font_sheet OUTPUT.png [zoom]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/text.h"
#include "display/display.h"
#include "png_writer.h"

namespace {

void Line(Display& display, const char* text, int x, int y, std::uint8_t r, std::uint8_t g,
          std::uint8_t b) {
  RenderText(display, text, x, y, r, g, b);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: font_sheet OUTPUT.png [zoom]\n");
    return 2;
  }
  int zoom = argc == 3 ? std::atoi(argv[2]) : 2;
  if (zoom < 1 || zoom > 16) {
    std::fprintf(stderr, "zoom must be 1 to 16\n");
    return 2;
  }

  const int width = 300;
  const int height = 200;
  Display display;
  SetCanvasSize(display, width, height);
  const CanvasImages& canvas = display.canvas;
  std::memset(canvas.frameBuffer, 0, static_cast<std::size_t>(width) * height * 4);

  // Every printable character in rows of 24, as the overlay and the list draw them.
  int y = height - 12;
  char row[32];
  for (int first = 33; first < 127; first += 24) {
    int n = 0;
    for (int c = first; c < first + 24 && c < 127; ++c) row[n++] = static_cast<char>(c);
    row[n] = '\0';
    Line(display, row, 8, y, 255, 255, 0);
    y -= 12;
  }
  Line(display, "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG 0123456789", 8, y, 255, 255, 255);
  y -= 12;
  Line(display,
       "the quick brown fox jumps over the lazy dog. Sphinx of black quartz, judge my vow!", 8, y,
       255, 255, 255);
  y -= 12;
  // Names as they appear in the list view.
  const char* const names[] = {
      "Holiday Photos 2024",           "IMG_0042.JPG",
      "report-final(v2).pdf",          "C:\\Users\\ann\\My Videos\\",
      "WIN32TROVEXMENU3SPOOLR012C",    "budget_2023 [copy] #3.xlsx",
      "Mum & Dad's wedding; 1987.mpg", "~$notes{old}.doc `tmp` | 100% done?",
      "a+b=c <x> @home *.bmp ^_^",     "\xC9t\xE9 \xE0 Paris.jpg"};
  const std::uint8_t colours[][3] = {{0, 255, 0}, {255, 255, 0}, {255, 0, 0}, {0, 255, 255}};
  int k = 0;
  for (const char* name : names) {
    const std::uint8_t* c = colours[k++ % 4];
    Line(display, name, 8, y, c[0], c[1], c[2]);
    y -= 12;
  }

  // Zoom the canvas (row 0 at the bottom) into a top-first RGB picture.
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * zoom * height * zoom * 3);
  for (int py = 0; py < height * zoom; ++py) {
    int cy = height - 1 - py / zoom;
    for (int px = 0; px < width * zoom; ++px) {
      const std::uint8_t* s =
          canvas.frameBuffer + (static_cast<std::size_t>(cy) * width + px / zoom) * 4;
      std::uint8_t* d = rgb.data() + (static_cast<std::size_t>(py) * width * zoom + px) * 3;
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
    }
  }
  std::vector<std::uint8_t> png = pngwriter::EncodePng(rgb, width * zoom, height * zoom, 3);
  std::FILE* f = std::fopen(argv[1], "wb");
  if (f == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
  ok = std::fclose(f) == 0 && ok;
  ReleaseCanvas(display);
  return ok ? 0 : 1;
}
