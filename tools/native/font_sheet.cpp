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

namespace {

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type,
              const std::vector<std::uint8_t>& data) {
  PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
  std::vector<std::uint8_t> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  PutBigEndian(out, Crc32(body.data(), body.size()));
}

// An RGB picture, top row first, as a PNG whose zlib stream holds stored (uncompressed) blocks.
std::vector<std::uint8_t> EncodePng(const std::vector<std::uint8_t>& rgb, int width, int height) {
  std::vector<std::uint8_t> raw;
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // filter type: none
    const std::uint8_t* row = rgb.data() + static_cast<std::size_t>(y) * width * 3;
    raw.insert(raw.end(), row, row + static_cast<std::size_t>(width) * 3);
  }
  std::vector<std::uint8_t> z = {0x78, 0x01};
  std::size_t pos = 0;
  do {
    std::size_t n = raw.size() - pos < 65535 ? raw.size() - pos : 65535;
    z.push_back(pos + n == raw.size() ? 1 : 0);
    z.push_back(static_cast<std::uint8_t>(n));
    z.push_back(static_cast<std::uint8_t>(n >> 8));
    z.push_back(static_cast<std::uint8_t>(~n));
    z.push_back(static_cast<std::uint8_t>(~n >> 8));
    z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
             raw.begin() + static_cast<std::ptrdiff_t>(pos + n));
    pos += n;
  } while (pos < raw.size());
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t v : raw) {
    a = (a + v) % 65521;
    b = (b + a) % 65521;
  }
  PutBigEndian(z, (b << 16) | a);

  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  PutBigEndian(header, static_cast<std::uint32_t>(width));
  PutBigEndian(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, no interlace
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", z);
  PutChunk(png, "IEND", {});
  return png;
}

void Line(Display& display, const char* text, int x, int y, std::uint8_t r, std::uint8_t g,
          std::uint8_t b) {
  FormatText(TextBuffer, sizeof TextBuffer, "%s", text);
  RenderText(display, x, y, r, g, b);
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
  std::vector<std::uint8_t> png = EncodePng(rgb, width * zoom, height * zoom);
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
