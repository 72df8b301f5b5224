// The native decoders: BMP and JPEG pixels of real and hand-made files, refusals, every file of
// the test corpora (tests/data) run through them, and PNG, GIF, WebP, AVIF, HEIF and JPEG XL
// pictures encoded here with those formats' own libraries.
#include "backends/posix/picture_decoder.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "base/little_endian.h"
#include "native/format_writers.h"
#include "native/hostile_files.h"
#include "native/photo_jpeg.h"
#include "native/png_writer.h"
#include "pictures/picture_samples.h"
#include "pictures/texture_loader.h"
#include "backends/headless/headless.h"
#include "backends/posix/decoder_parts.h"
#include "support/picture_corpora.h"

namespace {

namespace fs = std::filesystem;

const std::string corpora = TROVE_CORPORA_DIR;
const std::string bmpSuite = corpora + "/bmpsuite";
const std::string jpegTests = corpora + "/jpeg-decoder-tests/reftest";
const std::string turboImages = corpora + "/libjpeg-turbo-testimages";

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Rgb& c) {
  return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

Rgb Hex(std::uint32_t value) {
  return {static_cast<int>(value >> 16), static_cast<int>((value >> 8) & 0xFF),
          static_cast<int>(value & 0xFF)};
}

// A decoded picture copied out of the decoder, read with the top row as row 0 so that
// expectations read like the picture.
struct Picture {
  bool ok = false;
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> bits;  // as decoded: B, G, R, X, bottom row first

  Rgb At(int x, int rowFromTop) const {
    const std::size_t i = (static_cast<std::size_t>(height - 1 - rowFromTop) * width + x) * 4u;
    return {bits[i + 2], bits[i + 1], bits[i]};
  }
  int OpacityAt(int x, int rowFromTop) const {
    return bits[(static_cast<std::size_t>(height - 1 - rowFromTop) * width + x) * 4u + 3u];
  }
};

// The sizes the decoder asked about, and the answer to give.
std::vector<std::pair<int, int>> asked;
std::uint64_t allowedPixels = 100000000u;

bool RecordingMayDecode(int width, int height) {
  asked.emplace_back(width, height);
  return static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) <= allowedPixels;
}

Picture Decode(const std::string& path) {
  asked.clear();
  Picture picture;
  platform::DecodedPicture decoded;
  picture.ok = native::DecodePictureFile(path.c_str(), RecordingMayDecode, &decoded);
  if (!picture.ok) {
    EXPECT_EQ(decoded.bits, nullptr) << path;
    return picture;
  }
  picture.width = decoded.width;
  picture.height = decoded.height;
  picture.bits.assign(decoded.bits,
                      decoded.bits + static_cast<std::size_t>(decoded.width) * decoded.height * 4u);
  native::ReleaseDecodedPicture(&decoded);
  EXPECT_EQ(decoded.bits, nullptr);
  return picture;
}

// Largest difference of any channel of any pixel, and the mean difference per channel.
struct Difference {
  int largest = 0;
  double mean = 0.0;
};

Difference Compare(const Picture& a, const Picture& b) {
  EXPECT_EQ(a.width, b.width);
  EXPECT_EQ(a.height, b.height);
  Difference d;
  if (a.width != b.width || a.height != b.height) {
    d.largest = 256;
    return d;
  }
  double sum = 0.0;
  for (std::size_t i = 0; i < a.bits.size(); ++i) {
    if (i % 4 == 3) continue;
    const int diff = std::abs(a.bits[i] - b.bits[i]);
    d.largest = std::max(d.largest, diff);
    sum += diff;
  }
  d.mean = sum / (static_cast<double>(a.width) * a.height * 3.0);
  return d;
}

void ExpectNear(Rgb actual, Rgb expected, int tolerance, const char* where) {
  EXPECT_NEAR(actual.r, expected.r, tolerance) << where;
  EXPECT_NEAR(actual.g, expected.g, tolerance) << where;
  EXPECT_NEAR(actual.b, expected.b, tolerance) << where;
}

// ---- Hand-made BMP files ---------------------------------------------------------------------

void Put16(std::vector<std::uint8_t>& v, std::size_t at, unsigned value) {
  v[at] = value & 0xFF;
  v[at + 1] = (value >> 8) & 0xFF;
}

void Put32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) v[at + i] = (value >> (8 * i)) & 0xFF;
}

void Put32Big(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) v[at + i] = (value >> (24 - 8 * i)) & 0xFF;
}

// A BMP with a 40-byte header; extra (masks or palette) sits between header and data.
std::vector<std::uint8_t> MakeBmp(int width, int height, int bitsPerPixel, unsigned compression,
                                  const std::vector<std::uint8_t>& extra,
                                  const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> v(54 + extra.size());
  v[0] = 'B';
  v[1] = 'M';
  Put32(v, 2, static_cast<std::uint32_t>(v.size() + data.size()));
  Put32(v, 10, static_cast<std::uint32_t>(v.size()));
  Put32(v, 14, 40);
  Put32(v, 18, static_cast<std::uint32_t>(width));
  Put32(v, 22, static_cast<std::uint32_t>(height));
  Put16(v, 26, 1);
  Put16(v, 28, static_cast<unsigned>(bitsPerPixel));
  Put32(v, 30, compression);
  std::copy(extra.begin(), extra.end(), v.begin() + 54);
  v.insert(v.end(), data.begin(), data.end());
  return v;
}

class DecoderFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/trove_decoder_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = dir + "/" + name;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  std::string dir;
};

// ---- BMP: the BMP Suite's good files -----------------------------------------------------------

TEST(BmpSuite, Rgb24ShowsTheSuitesPicture) {
  const Picture p = Decode(bmpSuite + "/g/rgb24.bmp");
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.width, 127);
  EXPECT_EQ(p.height, 64);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], std::make_pair(127, 64));
  EXPECT_EQ(p.At(0, 0), Hex(0xFF0000));
  EXPECT_EQ(p.At(31, 0), Hex(0xFFFFFF));
  EXPECT_EQ(p.At(32, 0), Hex(0x00FF00));
  EXPECT_EQ(p.At(64, 0), Hex(0x0000FF));
  EXPECT_EQ(p.At(126, 0), Hex(0x9F9FBD));
  EXPECT_EQ(p.At(0, 63), Hex(0x000000));
  EXPECT_EQ(p.At(126, 63), Hex(0x60607E));
  EXPECT_EQ(p.At(100, 10), Hex(0x959599));
  // Every pixel opaque.
  for (std::size_t i = 3; i < p.bits.size(); i += 4) ASSERT_EQ(p.bits[i], 255);
}

TEST(BmpSuite, TrueColourVariantsMatchRgb24) {
  const Picture reference = Decode(bmpSuite + "/g/rgb24.bmp");
  ASSERT_TRUE(reference.ok);
  for (const char* name : {"rgb24pal", "rgb32", "rgb32bf", "rgb32bfdef"}) {
    const Picture p = Decode(bmpSuite + "/g/" + name + ".bmp");
    ASSERT_TRUE(p.ok) << name;
    EXPECT_EQ(Compare(p, reference).largest, 0) << name;
  }
  // Five or six bits per channel: within one step of 8 bits, and white stays full white.
  for (const char* name : {"rgb16", "rgb16bfdef", "rgb16-565", "rgb16-565pal"}) {
    const Picture p = Decode(bmpSuite + "/g/" + name + ".bmp");
    ASSERT_TRUE(p.ok) << name;
    EXPECT_LE(Compare(p, reference).largest, 8) << name;
    EXPECT_EQ(p.At(31, 0), Hex(0xFFFFFF)) << name;
  }
}

TEST(BmpSuite, PalettedVariantsMatchPal8) {
  const Picture reference = Decode(bmpSuite + "/g/pal8.bmp");
  ASSERT_TRUE(reference.ok);
  const Picture rgb24 = Decode(bmpSuite + "/g/rgb24.bmp");
  // 252 colours of the same picture.
  EXPECT_LT(Compare(reference, rgb24).mean, 16.0);
  for (const char* name :
       {"g/pal8-0", "g/pal8os2", "g/pal8rle", "g/pal8topdown", "g/pal8v4", "g/pal8v5",
        "q/pal8os2v2", "q/pal8os2v2-16", "q/pal8os2sp", "q/pal8offs", "q/pal8oversizepal"}) {
    const Picture p = Decode(bmpSuite + "/" + name + ".bmp");
    ASSERT_TRUE(p.ok) << name;
    EXPECT_EQ(Compare(p, reference).largest, 0) << name;
  }
  const Picture pal4 = Decode(bmpSuite + "/g/pal4.bmp");
  const Picture pal4rle = Decode(bmpSuite + "/g/pal4rle.bmp");
  ASSERT_TRUE(pal4.ok && pal4rle.ok);
  EXPECT_EQ(Compare(pal4rle, pal4).largest, 0);
}

TEST(BmpSuite, OneBitPalettesAndPaddedWidths) {
  const Picture pal1 = Decode(bmpSuite + "/g/pal1.bmp");
  ASSERT_TRUE(pal1.ok);
  EXPECT_EQ(pal1.At(0, 0), Hex(0xFFFFFF));
  EXPECT_EQ(pal1.At(60, 30), Hex(0x000000));
  const Picture bg = Decode(bmpSuite + "/g/pal1bg.bmp");
  ASSERT_TRUE(bg.ok);
  EXPECT_EQ(bg.At(0, 0), Hex(0x40FF40));
  EXPECT_EQ(bg.At(60, 30), Hex(0x4040FF));

  // Rows of 124, 125 and 126 bytes: no padding, then three, two and one bytes of it.
  const Picture w124 = Decode(bmpSuite + "/g/pal8w124.bmp");
  const Picture w125 = Decode(bmpSuite + "/g/pal8w125.bmp");
  const Picture w126 = Decode(bmpSuite + "/g/pal8w126.bmp");
  ASSERT_TRUE(w124.ok && w125.ok && w126.ok);
  EXPECT_EQ(w124.width, 124);
  EXPECT_EQ(w124.height, 61);
  EXPECT_EQ(w124.At(0, 0), Hex(0xFF0000));
  EXPECT_EQ(w124.At(123, 60), Hex(0x335566));
  EXPECT_EQ(w125.At(124, 61), Hex(0x665566));
  EXPECT_EQ(w126.At(125, 62), Hex(0x335566));
  EXPECT_EQ(w126.At(60, 30), Hex(0x000000));
}

// ---- BMP: hand-made files with exact pixels ---------------------------------------------------

TEST_F(DecoderFiles, TwentyFourBitRowsWithAndWithoutPadding) {
  // 4 x 1: twelve bytes, no padding. Stored blue, green, red.
  const Picture unpadded =
      Decode(Write("a.bmp", MakeBmp(4, 1, 24, 0, {}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})));
  ASSERT_TRUE(unpadded.ok);
  EXPECT_EQ(unpadded.At(0, 0), (Rgb{3, 2, 1}));
  EXPECT_EQ(unpadded.At(3, 0), (Rgb{12, 11, 10}));

  // 2 x 2: six bytes of pixels and two of padding per row; the bottom row comes first.
  const Picture padded = Decode(Write("b.bmp", MakeBmp(2, 2, 24, 0, {},
                                                       {10, 20, 30, 40, 50, 60, 0xEE, 0xEE, 70, 80,
                                                        90, 100, 110, 120, 0xEE, 0xEE})));
  ASSERT_TRUE(padded.ok);
  EXPECT_EQ(padded.At(0, 1), (Rgb{30, 20, 10}));
  EXPECT_EQ(padded.At(1, 1), (Rgb{60, 50, 40}));
  EXPECT_EQ(padded.At(0, 0), (Rgb{90, 80, 70}));
  EXPECT_EQ(padded.At(1, 0), (Rgb{120, 110, 100}));
}

TEST_F(DecoderFiles, TopDownRowsComeOutBottomFirst) {
  const Picture p =
      Decode(Write("t.bmp", MakeBmp(1, -3, 24, 0, {}, {1, 1, 1, 0, 2, 2, 2, 0, 3, 3, 3, 0})));
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.height, 3);
  EXPECT_EQ(p.At(0, 0), (Rgb{1, 1, 1}));
  EXPECT_EQ(p.At(0, 2), (Rgb{3, 3, 3}));
  EXPECT_EQ(p.bits[0], 3);  // the first row in memory is the picture's bottom row
}

TEST_F(DecoderFiles, PaletteBitfieldAndThirtyTwoBitPixels) {
  // 8-bit: palette of three entries (blue, green, red, unused); index 7 lies beyond it.
  const std::vector<std::uint8_t> palette = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0};
  std::vector<std::uint8_t> bmp = MakeBmp(4, 1, 8, 0, palette, {0, 1, 2, 7});
  Put32(bmp, 46, 3);  // colours used
  const Picture p8 = Decode(Write("p8.bmp", bmp));
  ASSERT_TRUE(p8.ok);
  EXPECT_EQ(p8.At(0, 0), (Rgb{255, 0, 0}));
  EXPECT_EQ(p8.At(1, 0), (Rgb{0, 255, 0}));
  EXPECT_EQ(p8.At(2, 0), (Rgb{0, 0, 255}));
  EXPECT_EQ(p8.At(3, 0), (Rgb{0, 0, 0}));

  // 32-bit BI_RGB: blue, green, red, and a fourth byte that is not alpha.
  const Picture p32 = Decode(Write("p32.bmp", MakeBmp(1, 1, 32, 0, {}, {9, 8, 7, 0x80})));
  ASSERT_TRUE(p32.ok);
  EXPECT_EQ(p32.At(0, 0), (Rgb{7, 8, 9}));
  EXPECT_EQ(p32.bits[3], 255);

  // 16-bit 565 through bit fields: full channels widen to 255, half-way values in proportion.
  std::vector<std::uint8_t> masks(12);
  Put32(masks, 0, 0xF800);
  Put32(masks, 4, 0x07E0);
  Put32(masks, 8, 0x001F);
  const Picture p16 =
      Decode(Write("p16.bmp", MakeBmp(2, 1, 16, 3, masks, {0xFF, 0xFF, 0x10, 0x84})));
  ASSERT_TRUE(p16.ok);
  EXPECT_EQ(p16.At(0, 0), (Rgb{255, 255, 255}));
  EXPECT_EQ(p16.At(1, 0), (Rgb{132, 130, 132}));  // 16/31, 32/63, 16/31 of 255, rounded

  // Overlapping or scattered masks make no picture.
  Put32(masks, 4, 0x0FE0);
  EXPECT_FALSE(Decode(Write("overlap.bmp", MakeBmp(2, 1, 16, 3, masks, {0, 0, 0, 0}))).ok);
  Put32(masks, 4, 0x0520);
  EXPECT_FALSE(Decode(Write("scatter.bmp", MakeBmp(2, 1, 16, 3, masks, {0, 0, 0, 0}))).ok);
}

TEST_F(DecoderFiles, RunLengthCodesStayInsideThePicture) {
  const std::vector<std::uint8_t> palette = {0, 0, 0, 0, 0, 0, 200, 0, 0, 200, 0, 0};
  // RLE8 on 4 x 3: a run of 9 clipped at the row end, end of line, an absolute run of 3,
  // a delta that leaves the picture, then codes that must be ignored after the end.
  const std::vector<std::uint8_t> rle8 = {9, 1, 0,   0,   0, 3, 2, 1, 2, 0,
                                          0, 2, 250, 250, 4, 1, 0, 1, 4, 2};
  const Picture p = Decode(Write("rle8.bmp", MakeBmp(4, 3, 8, 1, palette, rle8)));
  ASSERT_TRUE(p.ok);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(p.At(x, 2), (Rgb{200, 0, 0}));  // bottom row
  EXPECT_EQ(p.At(0, 1), (Rgb{0, 200, 0}));
  EXPECT_EQ(p.At(1, 1), (Rgb{200, 0, 0}));
  EXPECT_EQ(p.At(2, 1), (Rgb{0, 200, 0}));
  EXPECT_EQ(p.At(3, 1), (Rgb{0, 0, 0}));  // never reached: black
  for (int x = 0; x < 4; ++x) EXPECT_EQ(p.At(x, 0), (Rgb{0, 0, 0}));

  // RLE4 on 5 x 1: a run alternating two indices, then end of picture.
  const Picture p4 = Decode(Write("rle4.bmp", MakeBmp(5, 1, 4, 2, palette, {5, 0x12, 0, 1})));
  ASSERT_TRUE(p4.ok);
  EXPECT_EQ(p4.At(0, 0), (Rgb{200, 0, 0}));
  EXPECT_EQ(p4.At(1, 0), (Rgb{0, 200, 0}));
  EXPECT_EQ(p4.At(4, 0), (Rgb{200, 0, 0}));

  // Run-length data cut off in the middle of an absolute run ends the picture there.
  const Picture cut = Decode(Write("cut.bmp", MakeBmp(4, 1, 8, 1, palette, {2, 1, 0, 5, 2})));
  ASSERT_TRUE(cut.ok);
  EXPECT_EQ(cut.At(1, 0), (Rgb{200, 0, 0}));
  EXPECT_EQ(cut.At(2, 0), (Rgb{0, 0, 0}));
}

TEST_F(DecoderFiles, OldCoreHeaderWithThreeByteEntries) {
  // BITMAPCOREHEADER, 1 bit per pixel, palette of two 3-byte entries.
  std::vector<std::uint8_t> v(14 + 12 + 6);
  v[0] = 'B';
  v[1] = 'M';
  Put32(v, 10, 32);
  Put32(v, 14, 12);
  Put16(v, 18, 3);
  Put16(v, 20, 1);
  Put16(v, 22, 1);
  Put16(v, 24, 1);
  const std::vector<std::uint8_t> entries = {10, 20, 30, 40, 50, 60};
  std::copy(entries.begin(), entries.end(), v.begin() + 26);
  v.insert(v.end(), {0xA0, 0, 0, 0});  // bits 1, 0, 1
  const Picture p = Decode(Write("core.bmp", v));
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.At(0, 0), (Rgb{60, 50, 40}));
  EXPECT_EQ(p.At(1, 0), (Rgb{30, 20, 10}));
  EXPECT_EQ(p.At(2, 0), (Rgb{60, 50, 40}));
}

TEST_F(DecoderFiles, RefusedSizesAreNeverAllocated) {
  // A small file whose header claims 20000 x 20000: the size is asked about and refused.
  allowedPixels = 100000000u;
  Picture big = Decode(Write("big.bmp", MakeBmp(20000, 20000, 24, 0, {}, {1, 2, 3, 0})));
  EXPECT_FALSE(big.ok);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], std::make_pair(20000, 20000));

  // The same for a JPEG: the caller's answer is honoured before any pixels are decoded.
  allowedPixels = 100;
  EXPECT_FALSE(Decode(turboImages + "/testorig.jpg").ok);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], std::make_pair(227, 149));
  allowedPixels = 100000000u;

  // Allowed, but the pixels are not in the file.
  EXPECT_FALSE(Decode(Write("short.bmp", MakeBmp(100, 100, 24, 0, {}, {1, 2, 3, 0}))).ok);
}

TEST_F(DecoderFiles, MalformedHeadersAreRefused) {
  const std::vector<std::uint8_t> pixel = {1, 2, 3, 0};
  std::vector<std::uint8_t> bmp = MakeBmp(1, 1, 24, 0, {}, pixel);
  EXPECT_TRUE(Decode(Write("good.bmp", bmp)).ok);

  auto changed = [&](std::size_t at, std::uint32_t value, bool wide) {
    std::vector<std::uint8_t> v = bmp;
    if (wide) {
      Put32(v, at, value);
    } else {
      Put16(v, at, value);
    }
    return Decode(Write("changed.bmp", v)).ok;
  };
  EXPECT_FALSE(changed(0, 'M' | ('B' << 8), false));  // signature
  EXPECT_FALSE(changed(14, 66, true));                // no such header size
  EXPECT_FALSE(changed(18, 0, true));                 // width 0
  EXPECT_FALSE(changed(18, 0xFFFFFFFFu, true));       // width -1
  EXPECT_FALSE(changed(22, 0, true));                 // height 0
  EXPECT_FALSE(changed(22, 0x80000000u, true));       // height that cannot be negated
  EXPECT_FALSE(changed(26, 2, false));                // planes
  EXPECT_FALSE(changed(28, 64, false));               // 64 bits per pixel
  EXPECT_FALSE(changed(28, 0, false));                // 0 bits per pixel
  EXPECT_FALSE(changed(30, 4, true));                 // embedded JPEG
  EXPECT_FALSE(changed(30, 1, true));                 // RLE8 with 24 bits per pixel

  // Run-length pictures cannot be stored top down.
  std::vector<std::uint8_t> rle = MakeBmp(1, -1, 8, 1, std::vector<std::uint8_t>(1024), {1, 0});
  EXPECT_FALSE(Decode(Write("rletop.bmp", rle)).ok);

  // Empty, one byte, and every cut of a good file's header.
  EXPECT_FALSE(Decode(Write("empty.bmp", {})).ok);
  EXPECT_FALSE(Decode(Write("one.bmp", {'B'})).ok);
  for (std::size_t length = 2; length < bmp.size(); ++length) {
    EXPECT_FALSE(
        Decode(Write("cut.bmp", std::vector<std::uint8_t>(bmp.begin(), bmp.begin() + length))).ok)
        << length;
  }
  EXPECT_FALSE(Decode(dir + "/missing.bmp").ok);
  EXPECT_FALSE(Decode(Write("text.bmp", {'h', 'e', 'l', 'l', 'o'})).ok);
  // 2 bits per pixel, refused like the header check refuses it: a whole hand-made picture
  // with its palette, and the suite's two.
  const std::vector<std::uint8_t> palette(16, 0x80);
  EXPECT_FALSE(Decode(Write("two.bmp", MakeBmp(2, 1, 2, 0, palette, {0x10, 0, 0, 0}))).ok);
  EXPECT_FALSE(Decode(bmpSuite + "/q/pal2.bmp").ok);
  EXPECT_FALSE(Decode(bmpSuite + "/q/pal2color.bmp").ok);
}

// ---- JPEG --------------------------------------------------------------------------------------

// Reference pixels come from an independent decode of the same files; the tolerance allows
// for a different inverse DCT and upsampling.
constexpr int jpegTolerance = 6;

// A pixel of a decoded file, and two codings of one picture that decode alike (a bound below 0
// is not checked).
struct JpegPixel {
  std::string file;
  int x, y;
  std::uint32_t colour;
  const char* where;
};
struct JpegCodings {
  std::string a, b;
  double meanBound;
  int largestBound;
};
struct JpegCase {
  const char* name;
  std::string file;
  int width, height;
  std::vector<JpegPixel> pixels;
  std::vector<JpegCodings> alike;
};

TEST(JpegDecoding, BaselineAndProgressivePixels) {
  const std::string baseline = turboImages + "/testorig.jpg";
  const std::string progressive = jpegTests + "/progressive3.jpg";
  const std::string smallProgressive = jpegTests + "/mozilla/jpg-progressive.jpg";
  const JpegCase cases[] = {
      {"baseline",
       baseline,
       227,
       149,
       {{baseline, 0, 0, 0x302F2D, "top left"},
        {baseline, 113, 74, 0xF42D34, "centre"},
        {baseline, 226, 148, 0x272E26, "bottom right"},
        {baseline, 50, 120, 0xE0CAB5, "lower left"}},
       // The same picture coded again with another DCT and with arithmetic coding.
       {{baseline, turboImages + "/testimgint.jpg", 1.0, -1},
        {turboImages + "/testimgari.jpg", turboImages + "/testimgint.jpg", -1.0, 2}}},
      {"progressive",
       progressive,
       650,
       470,
       {{progressive, 0, 0, 0xA9A9A1, "top left"},
        {progressive, 325, 235, 0x202A29, "centre"},
        {progressive, 649, 469, 0x7D7E76, "bottom right"},
        {progressive, 100, 400, 0x100E11, "lower left"},
        {smallProgressive, 0, 0, 0xFFFE03, "progressive corner"},
        {smallProgressive, 20, 10, 0x5AAC00, "progressive inside"}},
       // A progressive file and the baseline file of the same picture.
       {{smallProgressive, jpegTests + "/mozilla/jpg-size-32x32.jpg", -1.0, 2}}},
  };
  for (const JpegCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Picture p = Decode(c.file);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.width, c.width);
    EXPECT_EQ(p.height, c.height);
    for (const JpegPixel& pixel : c.pixels) {
      const Picture q = pixel.file == c.file ? p : Decode(pixel.file);
      ASSERT_TRUE(q.ok) << pixel.file;
      ExpectNear(q.At(pixel.x, pixel.y), Hex(pixel.colour), jpegTolerance, pixel.where);
    }
    for (const JpegCodings& codings : c.alike) {
      const Picture a = Decode(codings.a);
      const Picture b = Decode(codings.b);
      ASSERT_TRUE(a.ok && b.ok) << codings.a << " " << codings.b;
      const Difference d = Compare(a, b);
      if (codings.meanBound >= 0) {
        EXPECT_LT(d.mean, codings.meanBound) << codings.a;
      }
      if (codings.largestBound >= 0) {
        EXPECT_LE(d.largest, codings.largestBound) << codings.a;
      }
    }
  }
}

TEST(JpegDecoding, GreyscaleGivesEqualChannels) {
  const Picture p = Decode(jpegTests + "/mozilla/jpg-gray.jpg");
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.width, 32);
  ExpectNear(p.At(0, 0), Hex(0xFFFFFF), jpegTolerance, "corner");
  ExpectNear(p.At(16, 16), Hex(0x7B7B7B), jpegTolerance, "centre");
  ExpectNear(p.At(31, 5), Hex(0x6B6B6B), jpegTolerance, "right");
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      const Rgb c = p.At(x, y);
      ASSERT_TRUE(c.r == c.g && c.g == c.b) << x << "," << y;
    }
  }
  const Picture tall = Decode(jpegTests + "/grayscale_long.jpg");
  ASSERT_TRUE(tall.ok);
  EXPECT_EQ(tall.width, 1);
  EXPECT_EQ(tall.height, 1000);
}

TEST(JpegDecoding, CmykAndYcckBecomeRgb) {
  // Adobe's inverted CMYK: yellow in one corner, blue in the other.
  const Picture cmyk = Decode(jpegTests + "/mozilla/jpg-cmyk-1.jpg");
  ASSERT_TRUE(cmyk.ok);
  ExpectNear(cmyk.At(0, 0), Hex(0xFFFF00), jpegTolerance, "yellow");
  ExpectNear(cmyk.At(16, 16), Hex(0x7B7B08), jpegTolerance, "olive");
  ExpectNear(cmyk.At(31, 31), Hex(0x0000FF), jpegTolerance, "blue");

  // rgb.jpg was coded again from ycck.jpg: the same picture within coding losses.
  const Picture ycck = Decode(jpegTests + "/ycck.jpg");
  const Picture rgb = Decode(jpegTests + "/rgb.jpg");
  ASSERT_TRUE(ycck.ok && rgb.ok);
  EXPECT_LT(Compare(ycck, rgb).mean, 6.0);
}

TEST_F(DecoderFiles, DamagedJpegsEndCleanly) {
  std::ifstream in(turboImages + "/testorig.jpg", std::ios::binary);
  const std::vector<std::uint8_t> whole((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
  ASSERT_GT(whole.size(), 1000u);
  // Cut inside the scan: libjpeg fills the rest, and the size is the picture's.
  const Picture half =
      Decode(Write("half.jpg", std::vector<std::uint8_t>(whole.begin(), whole.begin() + 3000)));
  if (half.ok) {
    EXPECT_EQ(half.width, 227);
    EXPECT_EQ(half.height, 149);
  }
  // Cut inside the header: no picture.
  EXPECT_FALSE(
      Decode(Write("head.jpg", std::vector<std::uint8_t>(whole.begin(), whole.begin() + 100))).ok);
  EXPECT_FALSE(Decode(Write("soi.jpg", {0xFF, 0xD8})).ok);
  // Twelve-bit samples and lossless coding are not decoded.
  EXPECT_FALSE(Decode(turboImages + "/monkey12.jpg").ok);
  EXPECT_FALSE(Decode(jpegTests + "/lossless/2/MR4.jpg").ok);
  // A PNG file with a JPEG's name is decoded by its content, as the PNG it is.
  const Picture png = Decode(jpegTests + "/mozilla/jpg-size-6x6.jpg");
  EXPECT_TRUE(png.ok && png.width == 6 && png.height == 6);
}

// An Exif block holding one entry in its first directory: the orientation tag with type and
// count as given, in either byte order.
std::vector<std::uint8_t> ExifBlock(unsigned value, bool bigEndian = true, unsigned type = 3) {
  std::vector<std::uint8_t> v = {'E', 'x', 'i', 'f', 0, 0};
  auto put = [&](std::uint32_t x, int bytes) {
    for (int i = 0; i < bytes; ++i) {
      const int shift = bigEndian ? 8 * (bytes - 1 - i) : 8 * i;
      v.push_back(static_cast<std::uint8_t>(x >> shift));
    }
  };
  v.push_back(bigEndian ? 'M' : 'I');
  v.push_back(bigEndian ? 'M' : 'I');
  put(42, 2);
  put(8, 4);
  put(1, 2);
  put(0x0112, 2);
  put(type, 2);
  put(1, 4);
  put(value, 2);
  put(0, 2);
  put(0, 4);
  return v;
}

// Each orientation, written over a picture stored so that it shows upright: a 64 x 32 picture
// of four flat quarters (red, green above blue, white). Stored with its corners as the table
// gives them (top left, top right, bottom left, bottom right), quarter turns stored 32 x 64.
// Orientations out of range or in damaged blocks leave the picture as stored.
TEST_F(DecoderFiles, ExifOrientationShowsPicturesUpright) {
  const std::uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, white = 0xFFFFFF;
  struct Case {
    const char* name;
    std::vector<std::uint8_t> exif;
    std::uint32_t stored[4];
    int passedOver = 0;  // longest segments after the Exif one, skipped in the file itself
  };
  std::vector<std::uint8_t> cut = ExifBlock(6);
  cut.resize(cut.size() - 8);
  const Case cases[] = {
      {"1", ExifBlock(1), {red, green, blue, white}},
      {"2", ExifBlock(2), {green, red, white, blue}},
      {"3", ExifBlock(3, false), {white, blue, green, red}},
      {"4", ExifBlock(4), {blue, white, red, green}},
      {"5", ExifBlock(5), {red, blue, green, white}},
      {"6", ExifBlock(6, false), {green, white, red, blue}},
      {"7", ExifBlock(7), {white, green, blue, red}},
      {"8", ExifBlock(8), {blue, red, white, green}},
      {"none", {}, {red, green, blue, white}},
      {"out of range", ExifBlock(9), {red, green, blue, white}},
      {"not a short", ExifBlock(6, true, 4), {red, green, blue, white}},
      {"cut", cut, {red, green, blue, white}},
      {"6, then 192 KB passed over", ExifBlock(6, false), {green, white, red, blue}, 3},
  };
  for (const Case& c : cases) {
    const bool turned = c.name[0] >= '5' && c.name[0] <= '8' && (c.name[1] == 0 || c.passedOver);
    formatwriter::RgbaPicture stored{turned ? 32 : 64, turned ? 64 : 32, {}};
    for (int y = 0; y < stored.height; ++y) {
      for (int x = 0; x < stored.width; ++x) {
        const std::uint32_t colour =
            c.stored[(y < stored.height / 2 ? 0 : 2) + (x < stored.width / 2 ? 0 : 1)];
        stored.bytes.insert(stored.bytes.end(), {static_cast<std::uint8_t>(colour >> 16),
                                                 static_cast<std::uint8_t>(colour >> 8),
                                                 static_cast<std::uint8_t>(colour), 255});
      }
    }
    std::vector<std::uint8_t> file = formatwriter::Jpeg(stored, 95, c.exif);
    if (c.passedOver > 0) {
      const std::uint8_t app1[] = {0xFF, 0xE1};
      auto at = std::search(file.begin(), file.end(), app1, app1 + 2);
      ASSERT_NE(at, file.end());
      at += 2 + (at[2] << 8 | at[3]);
      std::vector<std::uint8_t> segment = {0xFF, 0xE1, 0xFF, 0xFF};
      segment.resize(2 + 0xFFFF, 'x');
      for (int i = 0; i < c.passedOver; ++i) at = file.insert(at, segment.begin(), segment.end());
    }
    const Picture p = Decode(Write("turned.jpg", file));
    ASSERT_TRUE(p.ok) << c.name;
    EXPECT_EQ(p.width, 64) << c.name;
    EXPECT_EQ(p.height, 32) << c.name;
    ASSERT_EQ(asked, (std::vector<std::pair<int, int>>{{64, 32}})) << c.name;
    SCOPED_TRACE(std::string("orientation ") + c.name);
    ExpectNear(p.At(16, 8), Hex(red), jpegTolerance, "top left");
    ExpectNear(p.At(48, 8), Hex(green), jpegTolerance, "top right");
    ExpectNear(p.At(16, 24), Hex(blue), jpegTolerance, "bottom left");
    ExpectNear(p.At(48, 24), Hex(white), jpegTolerance, "bottom right");
  }
}

// A thumbnail of a cell, averaged from the picture at path as the page decodes it on Linux:
// reduced while decoding when reduced is set, else from the whole picture.
PictureSamples AveragedThumbnail(const std::string& path, bool reduced, int cell,
                                 int* decodedWidth) {
  platform::RowSelection rows;
  rows.context = &cell;
  rows.cover = [](const void* context, int width, int height, int* across, int* down) {
    const float step = ThumbnailStep(width, height, *static_cast<const int*>(context));
    *across = static_cast<int>(SamplePositions(width, step).size());
    *down = static_cast<int>(SamplePositions(height, step).size());
  };
  platform::DecodedPicture picture;
  PictureSamples samples;
  if (!native::DecodePictureFile(path.c_str(), RecordingMayDecode, &picture,
                                 reduced ? &rows : nullptr)) {
    ADD_FAILURE() << path;
    return samples;
  }
  *decodedWidth = picture.width;
  const std::uint8_t key[3] = {};
  EXPECT_TRUE(AverageDecodedPicture(picture, cell, false, key, &samples)) << path;
  native::ReleaseDecodedPicture(&picture);
  return samples;
}

// A photograph's thumbnail from its JPEG decoded at 1/8 is the one from the whole picture but
// for small differences; a checkerboard of single black and white pixels, as JPEG and PNG,
// becomes an even grey; both have the samples a point-sampled thumbnail has.
TEST_F(DecoderFiles, ThumbnailsAverageReducedDecodes) {
  const std::string photo = dir + "/photo.jpg";
  WritePhotoJpeg(photo, 3, 1600, 1200);
  int decodedWidth = 0;
  const PictureSamples whole = AveragedThumbnail(photo, false, 140, &decodedWidth);
  EXPECT_EQ(decodedWidth, 1600);
  const PictureSamples reduced = AveragedThumbnail(photo, true, 140, &decodedWidth);
  EXPECT_EQ(decodedWidth, 200);
  ASSERT_EQ(whole.columns, 70);
  ASSERT_EQ(whole.rows, 53);
  ASSERT_EQ(reduced.columns, whole.columns);
  ASSERT_EQ(reduced.rows, whole.rows);
  EXPECT_EQ(reduced.pictureWidth, 1600);
  ASSERT_EQ(reduced.rgba.size(), whole.rgba.size());
  double sum = 0.0;
  int largest = 0;
  for (std::size_t i = 0; i < whole.rgba.size(); ++i) {
    const int diff = std::abs(whole.rgba[i] - reduced.rgba[i]);
    sum += diff;
    largest = std::max(largest, diff);
  }
  EXPECT_LT(sum / static_cast<double>(whole.rgba.size()), 2.0);
  EXPECT_LE(largest, 16);

  formatwriter::RgbaPicture board{1600, 1200, {}};
  board.bytes.resize(1600u * 1200u * 4u, 255);
  for (int y = 0; y < board.height; ++y) {
    for (int x = (y & 1); x < board.width; x += 2) {
      std::memset(board.bytes.data() + (static_cast<std::size_t>(y) * board.width + x) * 4u, 0, 3);
    }
  }
  for (const std::string& path : {Write("board.jpg", formatwriter::Jpeg(board)),
                                  Write("board.png", formatwriter::Png(board, 1))}) {
    const PictureSamples grey = AveragedThumbnail(path, true, 140, &decodedWidth);
    ASSERT_EQ(grey.columns * grey.rows, 70 * 53) << path;
    for (std::size_t i = 0; i < grey.rgba.size(); i += 4) {
      ASSERT_NEAR(grey.rgba[i], 128, 10) << path << " sample " << i / 4;
      ASSERT_EQ(grey.rgba[i + 1], grey.rgba[i]) << path;
    }
  }
}

// A progressive file whose last scan is repeated: below the scan limit it decodes as before,
// past it (a small file that would keep a decoder busy for seconds) it is refused. A decode
// whose caller has abandoned it stops, and nothing but a regular file is ever opened.
TEST_F(DecoderFiles, ScanBombsAbandonedDecodesAndSpecialFilesEndAtOnce) {
  const std::string source = jpegTests + "/progressive3.jpg";
  std::ifstream in(source, std::ios::binary);
  const std::vector<std::uint8_t> whole((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
  ASSERT_GT(whole.size(), 100u);
  // The last scan: from the last SOS marker to the EOI marker that ends the file.
  std::size_t lastScan = 0;
  for (std::size_t i = 0; i + 1 < whole.size(); ++i) {
    if (whole[i] == 0xFF && whole[i + 1] == 0xDA) lastScan = i;
  }
  ASSERT_GT(lastScan, 0u);
  auto repeated = [&](int times) {
    std::vector<std::uint8_t> bytes(whole.begin(), whole.end());
    const std::vector<std::uint8_t> scan(whole.begin() + static_cast<std::ptrdiff_t>(lastScan),
                                         whole.end() - 2);  // the file ends with EOI
    for (int i = 0; i < times; ++i) bytes.insert(bytes.end() - 2, scan.begin(), scan.end());
    return bytes;
  };
  EXPECT_TRUE(Decode(Write("twenty.jpg", repeated(20))).ok);
  EXPECT_FALSE(Decode(Write("bomb.jpg", repeated(3000))).ok);

  std::atomic<bool> abandoned{true};
  platform::RowSelection rows;
  rows.abandoned = &abandoned;
  platform::DecodedPicture picture;
  EXPECT_FALSE(native::DecodePictureFile(source.c_str(), nullptr, &picture, &rows));
  EXPECT_EQ(picture.bits, nullptr);
  abandoned = false;
  ASSERT_TRUE(native::DecodePictureFile(source.c_str(), nullptr, &picture, &rows));
  native::ReleaseDecodedPicture(&picture);

  // A FIFO nobody writes to, a character device and a directory, all named like pictures:
  // refused without waiting, by the decoder and by the file reader alike.
  ASSERT_EQ(mkfifo((dir + "/pipe.jpg").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dir + "/zero.jpg");
  fs::create_directory(dir + "/folder.jpg");
  for (const char* name : {"pipe.jpg", "zero.jpg", "folder.jpg"}) {
    const std::string path = dir + "/" + name;
    EXPECT_FALSE(Decode(path).ok) << name;
    EXPECT_EQ(platform::OpenForReading(path.c_str()), nullptr) << name;
  }
}

// ---- PNG, GIF, WebP, AVIF, HEIF and JPEG XL
// -------------------------------------------------------

// A picture made here, top row first, as red, green, blue and alpha, and what it shows: every
// pixel over black.
using Rgba = formatwriter::RgbaPicture;

std::vector<Rgb> OverBlack(const Rgba& p) {
  std::vector<Rgb> shown;
  for (std::size_t i = 0; i < p.bytes.size(); i += 4) {
    auto over = [&](int c) { return (c * p.bytes[i + 3] + 127) / 255; };
    shown.push_back({over(p.bytes[i]), over(p.bytes[i + 1]), over(p.bytes[i + 2])});
  }
  return shown;
}

// Colours by position; alpha 0, 128 and 255 by turns, or 0 and 255 for a format with one
// transparent colour.
Rgba MakeRgba(int width, int height, bool partialAlpha) {
  Rgba p{width, height, {}};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int turn = (x + y) % 3;
      const int alpha = turn == 0 ? 0 : turn == 2 && partialAlpha ? 128 : 255;
      p.bytes.insert(p.bytes.end(),
                     {static_cast<std::uint8_t>(x * 15), static_cast<std::uint8_t>(y * 20),
                      static_cast<std::uint8_t>(250 - x * 9), static_cast<std::uint8_t>(alpha)});
    }
  }
  return p;
}

// The picture turned a quarter anticlockwise, as the AVIF row's file says to show it.
Rgba TurnedAnticlockwise(const Rgba& p, const std::vector<std::uint8_t>&) {
  Rgba turned{p.height, p.width, {}};
  for (int y = 0; y < turned.height; ++y) {
    for (int x = 0; x < turned.width; ++x) {
      const std::size_t from = (static_cast<std::size_t>(x) * p.width + (p.width - 1 - y)) * 4u;
      turned.bytes.insert(turned.bytes.end(), p.bytes.begin() + from, p.bytes.begin() + from + 4);
    }
  }
  return turned;
}

// What libheif itself decodes from the file, for the lossy HEIF rows.
Rgba HeifReference(const Rgba&, const std::vector<std::uint8_t>& file) {
  Rgba p;
  heif_context* context = heif_context_alloc();
  heif_image_handle* handle = nullptr;
  heif_image* image = nullptr;
  heif_context_read_from_memory_without_copy(context, file.data(), file.size(), nullptr);
  heif_context_get_primary_image_handle(context, &handle);
  heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_interleaved_RGBA, nullptr);
  p.width = heif_image_get_width(image, heif_channel_interleaved);
  p.height = heif_image_get_height(image, heif_channel_interleaved);
  int stride = 0;
  const std::uint8_t* plane =
      heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
  for (int y = 0; y < p.height; ++y)
    p.bytes.insert(p.bytes.end(), plane + y * stride, plane + y * stride + p.width * 4);
  heif_image_release(image);
  heif_image_handle_release(handle);
  heif_context_free(context);
  return p;
}

// Writes bits low bit first, as a JPEG XL code stream holds them.
struct BitWriter {
  std::vector<std::uint8_t> bytes;
  int used = 8;
  void Put(std::uint64_t value, int count) {
    for (int i = 0; i < count; ++i, ++used) {
      if (used == 8) bytes.push_back(0), used = 0;
      bytes.back() |= static_cast<std::uint8_t>(((value >> i) & 1u) << used);
    }
  }
};

// Size bombs: each format's header made to claim a picture above the limit, in a file of the
// size of the small one.
std::vector<std::uint8_t> PngBomb(std::vector<std::uint8_t> png) {
  Put32Big(png, 16, 20000);
  Put32Big(png, 20, 20000);
  Put32Big(png, 29, pngwriter::Crc32(png.data() + 12, 17));
  return png;
}

std::vector<std::uint8_t> GifBomb(std::vector<std::uint8_t> gif) {
  Put16(gif, 6, 0xFFFF);
  Put16(gif, 8, 0xFFFF);
  return gif;
}

// The lossless header's 14-bit width and height, less one, all ones.
std::vector<std::uint8_t> WebpBomb(std::vector<std::uint8_t> webp) {
  Put32(webp, 21, LittleEndian32(webp.data() + 21) | 0x0FFFFFFFu);
  return webp;
}

// Every 'ispe' property of an AVIF or HEIF file (the picture's and its alpha's): 12000 x 12000,
// below libavif's own limit.
std::vector<std::uint8_t> IspeBomb(std::vector<std::uint8_t> file) {
  const char ispe[] = "ispe";
  for (auto at = file.begin(); (at = std::search(at, file.end(), ispe, ispe + 4)) != file.end();) {
    const std::size_t offset = static_cast<std::size_t>(at - file.begin()) + 8;
    Put32Big(file, offset, 12000);
    Put32Big(file, offset + 4, 12000);
    at += 4;
  }
  return file;
}

// A bare code stream whose size header says 12000 x 12000, with the default metadata.
std::vector<std::uint8_t> JxlBomb(std::vector<std::uint8_t>) {
  BitWriter bits;
  bits.Put(0xFF, 8);
  bits.Put(0x0A, 8);
  bits.Put(0, 1);  // not a small size
  bits.Put(2, 2);  // height: 1 + 18 bits
  bits.Put(11999, 18);
  bits.Put(0, 3);  // no ratio: the width follows
  bits.Put(2, 2);
  bits.Put(11999, 18);
  bits.Put(1, 1);  // all metadata default
  bits.Put(0, 64);
  return bits.bytes;
}

struct FormatCase {
  const char* name;  // any case: the extension counts, not its case
  std::int32_t kind;
  Rgba picture;
  std::vector<std::uint8_t> (*encode)(const Rgba&);  // the format's own library
  Rgba (*shown)(const Rgba& picture, const std::vector<std::uint8_t>& file);
  std::vector<std::uint8_t> (*bomb)(std::vector<std::uint8_t> file);
  int bombSide;  // the bomb's width and height
};

// Named by its file in test names and messages.
void PrintTo(const FormatCase& c, std::ostream* out) { *out << c.name; }

Rgba AsMade(const Rgba& p, const std::vector<std::uint8_t>&) { return p; }

std::vector<std::uint8_t> Png(const Rgba& p) { return formatwriter::Png(p); }
std::vector<std::uint8_t> Gif(const Rgba& p) { return formatwriter::Gif(p); }
std::vector<std::uint8_t> Webp(const Rgba& p) { return formatwriter::Webp(p); }
std::vector<std::uint8_t> TurnedAvif(const Rgba& p) { return formatwriter::Avif(p, 1); }
std::vector<std::uint8_t> Heif(const Rgba& p) { return formatwriter::Heif(p); }
std::vector<std::uint8_t> Jxl(const Rgba& p) { return formatwriter::Jxl(p); }

// Partial alpha; alpha 0 and 255 only, for GIF; even sizes, which HEVC codes whole; one colour
// at alpha 200.
std::vector<FormatCase> FormatCases() {
  const Rgba alpha = MakeRgba(7, 5, true);
  const Rgba keyed = MakeRgba(7, 5, false);
  const Rgba even = MakeRgba(16, 12, true);
  const Rgba flat = {16, 12, std::vector<std::uint8_t>(16 * 12 * 4, 200)};
  return {
      {"alpha.PNG", picturePng, alpha, Png, AsMade, PngBomb, 20000},
      {"frames.Gif", pictureGif, keyed, Gif, AsMade, GifBomb, 65535},
      {"alpha.webp", pictureWebp, alpha, Webp, AsMade, WebpBomb, 16384},
      {"turned.AVIF", pictureAvif, alpha, TurnedAvif, TurnedAnticlockwise, IspeBomb, 12000},
      {"alpha.heic", pictureHeif, even, Heif, HeifReference, IspeBomb, 12000},
      {"flat.Heif", pictureHeif, flat, Heif, HeifReference, IspeBomb, 12000},
      {"alpha.jxl", pictureJxl, alpha, Jxl, AsMade, JxlBomb, 12000},
  };
}

// Each format's picture, encoded with its own library, written under the case's name.
class EveryFormat : public DecoderFiles, public ::testing::WithParamInterface<FormatCase> {
 protected:
  void SetUp() override {
    DecoderFiles::SetUp();
    file = GetParam().encode(GetParam().picture);
    ASSERT_GT(file.size(), 16u);
    path = Write(GetParam().name, file);
  }

  std::vector<std::uint8_t> file;
  std::string path;
};

// Each format's picture decodes to what it shows, exactly for lossless coding and as the
// library's own decode for lossy.
TEST_P(EveryFormat, DecodesToWhatItShows) {
  const Rgba expected = GetParam().shown(GetParam().picture, file);
  const Picture p = Decode(path);
  ASSERT_TRUE(p.ok);
  ASSERT_EQ(p.width, expected.width);
  ASSERT_EQ(p.height, expected.height);
  const std::vector<Rgb> shown = OverBlack(expected);
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      ASSERT_EQ(p.At(x, y), shown[y * p.width + x]) << x << "," << y;
      // The opacity is kept beside the colour, for a viewer that shows what lies behind.
      ASSERT_EQ(p.OpacityAt(x, y), expected.bytes[(y * p.width + x) * 4u + 3u]) << x << "," << y;
    }
  }
}

// The same decode for a page that has been left stops without a picture.
TEST_P(EveryFormat, AbandonedDecodeEndsWithoutAPicture) {
  const std::atomic<bool> abandoned{true};
  platform::RowSelection rows;
  rows.abandoned = &abandoned;
  platform::DecodedPicture left;
  EXPECT_FALSE(native::DecodePictureFile(path.c_str(), nullptr, &left, &rows));
}

// The size a page weighs the decode by, read from the header: before any turn, and for HEIF the
// coded size, whole 64-pixel blocks that its crop then cuts down.
TEST_P(EveryFormat, HeaderGivesThePageItsSize) {
  const Picture p = Decode(path);
  ASSERT_TRUE(p.ok);
  int width = 0;
  int height = 0;
  EXPECT_TRUE(PictureSizeFromHeader(file.data(), file.size(), &width, &height));
  EXPECT_GE(width * height, p.width * p.height);
  EXPECT_LE(width * height, GetParam().kind == pictureHeif ? 64 * 64 : p.width * p.height);
}

TEST_P(EveryFormat, CutFileIsRefused) {
  const std::vector<std::uint8_t> cut(file.begin(), file.begin() + file.size() * 3 / 5);
  EXPECT_FALSE(Decode(Write(std::string("cut-") + GetParam().name, cut)).ok);
}

// A size bomb is refused by the size question alone.
TEST_P(EveryFormat, SizeBombIsRefusedByTheSizeQuestion) {
  const std::vector<std::uint8_t> bomb = GetParam().bomb(file);
  EXPECT_FALSE(Decode(Write(std::string("bomb-") + GetParam().name, bomb)).ok);
  const std::pair<int, int> bombSize{GetParam().bombSide, GetParam().bombSide};
  EXPECT_EQ(asked, (std::vector<std::pair<int, int>>{bombSize}));
}

TEST_P(EveryFormat, SizeBombsHeaderGivesItsSize) {
  const std::vector<std::uint8_t> bomb = GetParam().bomb(file);
  int width = 0;
  int height = 0;
  EXPECT_TRUE(PictureSizeFromHeader(bomb.data(), bomb.size(), &width, &height));
  EXPECT_EQ(std::make_pair(width, height),
            std::make_pair(GetParam().bombSide, GetParam().bombSide));
}

// The Linux program's loader takes the name; the Windows program's does not.
TEST_P(EveryFormat, LinuxProgramAloneTakesTheName) {
  TextureLoader loader;
  PictureIdentity identity;
  const std::int32_t kind = GetParam().kind;
  for (const bool posix : {true, false}) {
    headless::state().posixConventions = posix;
    loader.ClassifyName(GetParam().name, &identity);
    EXPECT_EQ(identity.decodable, posix);
    EXPECT_EQ(identity.kind, posix || kind == pictureGif ? kind : pictureUnknown);
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, EveryFormat, ::testing::ValuesIn(FormatCases()),
                         [](const ::testing::TestParamInfo<FormatCase>& formatCase) {
                           std::string name = formatCase.param.name;
                           std::replace(name.begin(), name.end(), '.', '_');
                           return name;
                         });

// ---- Hostile files -----------------------------------------------------------------------------

// The bytes the process has mapped now.
std::uint64_t MappedBytes() {
  std::ifstream status("/proc/self/status");
  std::string field;
  std::uint64_t kilobytes = 0;
  while (status >> field && field != "VmSize:") {
  }
  status >> kilobytes;
  return kilobytes * 1024u;
}

// Each file decoded in a process of its own whose address space may grow by no more than the
// decode's budget for the size the file's header declares: refused, or decoded within 100 ms.
// Then the slowest picture among them that is decoded at all, the layered JPEG XL file with as
// many layers as are allowed on a large canvas, abandoned from another thread once its pixels
// are being decoded, returns within 200 ms.
TEST_F(DecoderFiles, HostileFilesAreRefusedOrDecodedWithinTheirBounds) {
  const std::set<std::string> decodes = {"tail.webp", "tall-frame.gif"};
  for (const hostile::File& f : hostile::Files()) {
    SCOPED_TRACE(f.name);
    const std::string path = Write(f.name, f.bytes);
    ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(f.bytes.size() + f.sparseTail)), 0);
    int width = 0;
    int height = 0;
    ASSERT_TRUE(PictureSizeFromHeader(f.bytes.data(), f.bytes.size(), &width, &height));
    const pid_t child = fork();
    if (child == 0) {
      const rlimit room = {MappedBytes() + native::DecodeBudget(width, height), RLIM_INFINITY};
      alarm(20);
      platform::DecodedPicture picture;
      const auto start = std::chrono::steady_clock::now();
      const bool ok = setrlimit(RLIMIT_AS, &room) == 0 &&
                      native::DecodePictureFile(path.c_str(), RecordingMayDecode, &picture);
      _exit(std::chrono::steady_clock::now() - start > std::chrono::milliseconds(100) ? 2 : ok);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), decodes.count(f.name));
  }

  const std::string layers = Write("layers.jxl", hostile::JxlLayers(2000, 2));
  const std::uint64_t before = MappedBytes();
  std::atomic<bool> abandoned{false};
  std::atomic<bool> ended{false};
  platform::RowSelection rows;
  rows.abandoned = &abandoned;
  platform::DecodedPicture picture;
  std::thread decode([&] {
    EXPECT_FALSE(native::DecodePictureFile(layers.c_str(), nullptr, &picture, &rows));
    ended = true;
  });
  // The picture's 16 MB are obtained when its pixels begin to be decoded.
  while (!ended && MappedBytes() < before + 2000u * 2000u * 4u) std::this_thread::yield();
  const auto start = std::chrono::steady_clock::now();
  abandoned = true;
  decode.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
}

// ---- Every file of the corpora ----------------------------------------------------------------

TEST(Corpora, EveryFileEndsInABoundedOutcome) {
  ASSERT_TRUE(fs::is_directory(corpora)) << corpora;
  std::map<std::string, std::pair<int, int>> byFolder;  // decoded, refused
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(corpora)) {
    if (!entry.is_regular_file()) continue;
    const std::string path = entry.path().string();
    ++files;
    const Picture p = Decode(path);
    std::string folder = entry.path().parent_path().lexically_relative(corpora).string();
    if (p.ok) {
      ++byFolder[folder].first;
      ASSERT_GT(p.width, 0) << path;
      ASSERT_GT(p.height, 0) << path;
      ASSERT_LE(static_cast<std::uint64_t>(p.width) * p.height, 100000000u) << path;
      // The decoder asked about exactly the size it delivered.
      ASSERT_FALSE(asked.empty()) << path;
      EXPECT_EQ(asked.back(), std::make_pair(p.width, p.height)) << path;
    } else {
      ++byFolder[folder].second;
    }
  }
  EXPECT_GT(files, 500);
  for (const auto& [folder, counts] : byFolder) {
    std::cout << "  " << folder << ": " << counts.first << " decoded, " << counts.second
              << " refused\n";
  }
}

// ---- Rows left out ------------------------------------------------------------------------------

// Which rows a test asks for: a rule over the row (from the bottom) and the picture's height.
struct RowRule {
  const char* name;
  bool (*wanted)(int row, int height);
};

void SelectByRule(const void* context, int, int height, std::uint8_t* wanted) {
  const auto* rule = static_cast<const RowRule*>(context);
  for (int y = 0; y < height; ++y) wanted[y] = rule->wanted(y, height) ? 1 : 0;
}

const RowRule rowRules[] = {
    {"every 40th", [](int y, int) { return y % 40 == 0; }},
    {"every 3rd", [](int y, int) { return y % 3 == 1; }},
    {"every 17th from the top", [](int y, int h) { return (h - 1 - y) % 17 == 0; }},
    {"the top row", [](int y, int h) { return y == h - 1; }},
    {"the bottom row", [](int y, int) { return y == 0; }},
    {"runs of 20", [](int y, int) { return (y / 20) % 3 == 2; }},
};

// Decoding with rows left out gives, in every selected row, the bytes of the full decode.
void ExpectSkippedRowsChangeNothingElse(const std::vector<CorpusPicture>& files) {
  int compared = 0;
  for (const CorpusPicture& file : files) {
    std::string lower = file.extension;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower != "jpg" && lower != "jpeg") continue;
    const Picture full = Decode(file.path.string());
    for (const RowRule& rule : rowRules) {
      platform::RowSelection rows;
      rows.select = SelectByRule;
      rows.context = &rule;
      platform::DecodedPicture part;
      const bool ok =
          native::DecodePictureFile(file.path.c_str(), RecordingMayDecode, &part, &rows);
      ASSERT_EQ(ok, full.ok) << file.path << " " << rule.name;
      if (!ok) continue;
      ASSERT_EQ(part.width, full.width);
      ASSERT_EQ(part.height, full.height);
      const std::size_t rowBytes = static_cast<std::size_t>(full.width) * 4u;
      for (int y = 0; y < full.height; ++y) {
        if (!rule.wanted(y, full.height)) continue;
        const std::size_t at = static_cast<std::size_t>(y) * rowBytes;
        ASSERT_EQ(std::memcmp(part.bits + at, full.bits.data() + at, rowBytes), 0)
            << file.path << " " << rule.name << " row " << y;
      }
      native::ReleaseDecodedPicture(&part);
    }
    ++compared;
  }
  EXPECT_GT(compared, 0);
}

TEST(SkippedRows, ProjectSamples) {
  char dir[] = "/tmp/trove-samples-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  ExpectSkippedRowsChangeNothingElse(ProjectSamples(dir));
  fs::remove_all(dir);
}

TEST(SkippedRows, JpegCorpora) {
  for (const char* folder : {"libjpeg-turbo-testimages", "jpeg-decoder-tests/reftest",
                             "jpeg-decoder-tests/icc", "jpeg-decoder-tests/crashtest"}) {
    ExpectSkippedRowsChangeNothingElse(CorpusFolder(folder));
  }
  ExpectSkippedRowsChangeNothingElse(CorpusFolder("go-fuzz-corpus/jpeg/corpus", "jpg"));
}

}  // namespace

// ---- Animations --------------------------------------------------------------------------------

// A GIF and a WebP animation give their frames one at a time with their delays (no delay read
// as 100 ms), then play again as their loop count says; one of thousands of frames of no delay
// is read through frame by frame to its end, and one whose canvas is refused opens nothing.
TEST_F(DecoderFiles, AnimationsGiveFramesDelaysAndLoopCounts) {
  std::vector<Rgba> frames;
  for (std::uint8_t red : {40, 120, 200}) {
    Rgba frame{4, 2, {}};
    for (int i = 0; i < 8; ++i) frame.bytes.insert(frame.bytes.end(), {red, 9, 9, 255});
    frames.push_back(frame);
  }
  struct Case {
    const char* name;
    std::vector<std::uint8_t> file;
    int loops;
    int frames;
    int plays;
  };
  const Case cases[] = {
      {"three.gif", formatwriter::AnimatedGif(frames, {0, 5, 12}, 2), 2, 3, 3},
      {"three.webp", formatwriter::AnimatedWebp(frames, {0, 50, 120}, 2), 2, 3, 2},
      {"many.gif",
       formatwriter::AnimatedGif(std::vector<Rgba>(3000, frames[0]), std::vector<int>(3000, 0), 1),
       1, 3000, 2},
  };
  const std::atomic<bool> going{false};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    asked.clear();
    const std::unique_ptr<native::AnimationFile> animation =
        native::OpenAnimationFile(Write(c.name, c.file).c_str(), RecordingMayDecode);
    ASSERT_NE(animation, nullptr);
    EXPECT_EQ(asked, (std::vector<std::pair<int, int>>{{4, 2}}));
    const int count = c.frames * c.plays;
    for (int i = 0; i <= count; ++i) {
      platform::DecodedPicture frame;
      int delayMs = 0;
      const bool ok = animation->NextFrame(&going, &frame, &delayMs);
      ASSERT_EQ(ok, i < count) << i;
      if (!ok) break;
      const std::vector<int> delays = {100, 50, 120};
      EXPECT_EQ(delayMs, c.frames == 3 ? delays[i % 3] : 100) << i;
      EXPECT_EQ(frame.bits[2], c.frames == 3 ? frames[i % 3].bytes[0] : 40) << i;
      native::ReleaseDecodedPicture(&frame);
    }
    EXPECT_EQ(animation->LoopCount(), c.loops);
  }
  allowedPixels = 1000;
  const std::vector<std::uint8_t> bomb = GifBomb(formatwriter::AnimatedGif(frames, {0, 0, 0}, 0));
  EXPECT_EQ(native::OpenAnimationFile(Write("bomb.gif", bomb).c_str(), RecordingMayDecode),
            nullptr);
  allowedPixels = 100000000u;
}
