// The picture header checks: format by content, the BMP header check and the JPEG frame size,
// on hand-made headers and on every file of the test corpora.
#include "base/picture_header.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "pictures/bmp_files.h"
#include "platform/platform.h"

namespace {

using bmptest::Bytes;
using bmptest::Put32;

bool Check(const Bytes& b, BmpHeaderFacts* facts = nullptr) {
  BmpHeaderFacts ignored;
  return CheckBmpHeader(b.data(), b.size(), b.size(), facts ? facts : &ignored);
}

// An 8-bit run-length BMP 4 x 2 with a 2-entry palette and the given data.
Bytes Rle8(const Bytes& runs, std::uint32_t dataSize, std::uint32_t dataOffset = 62) {
  Bytes palette = {0, 0, 255, 0, 255, 0, 0, 0};
  Bytes b = bmptest::Bmp(4, 2, 8, palette, 54);
  Put32(b, 10, dataOffset);
  Put32(b, 30, bmpRle8);
  Put32(b, 34, dataSize);
  Put32(b, 46, 2);
  b.insert(b.end(), runs.begin(), runs.end());
  return b;
}

TEST(PictureHeader, SniffsTheFormatByContentAlone) {
  const Bytes jpeg = {0xFF, 0xD8, 0xFF, 0xE0};
  const Bytes bmp = {'B', 'M', 0};
  // An icon directory: reserved zero word, type 1, one image (the 11-byte ".jpg" that crashed).
  const Bytes icon = {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1};
  EXPECT_EQ(SniffPictureFormat(jpeg.data(), jpeg.size()), PictureFormat::jpeg);
  EXPECT_EQ(SniffPictureFormat(jpeg.data(), 2), PictureFormat::unknown);
  EXPECT_EQ(SniffPictureFormat(bmp.data(), bmp.size()), PictureFormat::bmp);
  EXPECT_EQ(SniffPictureFormat(icon.data(), icon.size()), PictureFormat::unknown);
  EXPECT_EQ(SniffPictureFormat(nullptr, 10), PictureFormat::unknown);
}

TEST(PictureHeader, ReadsTheFieldsOfEachKindOfInfoHeader) {
  BmpFields f;
  // The 40-byte header: 32-bit sizes, then compression, data size and palette entries.
  Bytes info = bmptest::Bmp(3, -2, 8, Bytes(8, 0));
  Put32(info, 30, bmpRle8);
  Put32(info, 46, 5);
  ASSERT_TRUE(ReadBmpFields(info.data(), 54, &f));
  EXPECT_EQ(f.width, 3);
  EXPECT_EQ(f.height, -2);
  EXPECT_EQ(f.compression, bmpRle8);
  EXPECT_EQ(f.dataSize, 8u);
  EXPECT_EQ(f.coloursUsed, 5u);
  EXPECT_FALSE(ReadBmpFields(info.data(), 53, &f));
  // The short OS/2 header ends with the depth: what follows it is no compression.
  Put32(info, 14, 16);
  ASSERT_TRUE(ReadBmpFields(info.data(), 30, &f));
  EXPECT_EQ(f.compression, bmpRgb);
  EXPECT_FALSE(ReadBmpFields(info.data(), 29, &f));
  // An info header size none of the known headers has.
  Put32(info, 14, 41);
  EXPECT_FALSE(ReadBmpFields(info.data(), info.size(), &f));

  // The core header's 16-bit sizes, its height signed.
  Bytes core(26, 0);
  core[0] = 'B';
  core[1] = 'M';
  Put32(core, 14, 12);
  Put32(core, 18, 0xFFFE1234u);  // width 0x1234, height -2
  core[22] = 1;
  core[24] = 24;
  ASSERT_TRUE(ReadBmpFields(core.data(), core.size(), &f));
  EXPECT_EQ(f.width, 0x1234);
  EXPECT_EQ(f.height, -2);
  EXPECT_EQ(f.bitsPerPixel, 24);
  EXPECT_FALSE(ReadBmpFields(core.data(), core.size() - 1, &f));
}

TEST(PictureHeader, AcceptsWholeBmpsAndReportsTheirSize) {
  BmpHeaderFacts facts;
  // 3 x 2 at 24 bits: rows of 12 bytes with padding.
  ASSERT_TRUE(Check(bmptest::Bmp(3, -2, 24, Bytes(24, 7)), &facts));
  EXPECT_EQ(facts.width, 3);
  EXPECT_EQ(facts.height, 2);
  EXPECT_TRUE(facts.topDown);
  EXPECT_EQ(facts.dataOffset, 54u);
  EXPECT_EQ(facts.dataSize, 24u);

  // The core header of 12 bytes, 16-bit sizes, 24 bits.
  Bytes core(26, 0);
  core[0] = 'B';
  core[1] = 'M';
  Put32(core, 10, 26);
  Put32(core, 14, 12);
  core[18] = 2;
  core[20] = 1;
  core[22] = 1;
  core[24] = 24;
  core.resize(26 + 8, 9);
  ASSERT_TRUE(Check(core, &facts));
  EXPECT_EQ(facts.width, 2);
  EXPECT_EQ(facts.height, 1);

  ASSERT_TRUE(Check(Rle8({2, 1, 0, 0, 4, 0, 0, 1}, 8), &facts));
  EXPECT_EQ(facts.compression, bmpRle8);
  EXPECT_EQ(facts.dataSize, 8u);
}

TEST(PictureHeader, RefusesHeadersWhoseDataLieOutsideTheFile) {
  // Rows cut short by one byte.
  Bytes cut = bmptest::Bmp(3, 2, 24, Bytes(23, 7));
  EXPECT_FALSE(Check(cut));
  // A 54-byte file claiming a picture far wider than its data.
  EXPECT_FALSE(Check(bmptest::Bmp(6356992, 1, 24, {})));
  // Pixel data said to start inside the headers, or past the end.
  Bytes early = bmptest::Bmp(1, 1, 24, Bytes(4, 0));
  Put32(early, 10, 20);
  EXPECT_FALSE(Check(early));

  // Run-length data: the 1 KB file with its data offset at 0x7FFFFF00.
  Bytes far = Rle8(Bytes(1024 - 62, 0), 16, 0x7FFFFF00u);
  EXPECT_FALSE(Check(far));
  // No data size, a data size reaching past the end, an offset inside the headers.
  EXPECT_FALSE(Check(Rle8({0, 1}, 0)));
  EXPECT_FALSE(Check(Rle8({0, 1}, 3)));
  EXPECT_FALSE(Check(Rle8({0, 1}, 2, 40)));
  // Only the bytes it was given count as file: a file shorter than them is no file.
  Bytes whole = Rle8({0, 1}, 2);
  BmpHeaderFacts facts;
  EXPECT_FALSE(CheckBmpHeader(whole.data(), whole.size(), whole.size() - 1, &facts));
  // A palette that claims more entries than the file holds.
  Bytes palette = Rle8({0, 1}, 2);
  Put32(palette, 46, 200);
  EXPECT_FALSE(Check(palette));
}

TEST(PictureHeader, RefusesHeadersNoDecoderHonours) {
  // 2 bits per pixel, refused by the native decoder as well.
  EXPECT_FALSE(Check(bmptest::Bmp(2, 2, 2, Bytes(16, 0))));
  EXPECT_FALSE(Check(bmptest::Bmp(0, 2, 24, Bytes(16, 0))));  // no width
  EXPECT_FALSE(Check(bmptest::Bmp(-2, 2, 24, Bytes(16, 0))));
  EXPECT_FALSE(Check(bmptest::Bmp(2, 0, 24, Bytes(16, 0))));
  Bytes planes = bmptest::Bmp(2, 2, 24, Bytes(16, 0));
  planes[26] = 0;
  EXPECT_FALSE(Check(planes));
  Bytes odd = bmptest::Bmp(2, 2, 24, Bytes(16, 0));
  Put32(odd, 14, 41);
  EXPECT_FALSE(Check(odd));
  // Run lengths stored top-down, or with a depth they do not use.
  Bytes topDown = Rle8({0, 1}, 2);
  Put32(topDown, 22, static_cast<std::uint32_t>(-2));
  EXPECT_FALSE(Check(topDown));
  Bytes rle24 = Rle8({0, 1}, 2);
  rle24[28] = 24;
  EXPECT_FALSE(Check(rle24));
  Bytes jpegInside = bmptest::Bmp(2, 2, 24, Bytes(16, 0));
  Put32(jpegInside, 30, 4);
  EXPECT_FALSE(Check(jpegInside));
  // More than the PictureBuffer holds, whatever the file: 10001 x 10000 pixels of 1 bit.
  EXPECT_FALSE(Check(bmptest::Bmp(10001, 10000, 1, Bytes(1252 * 10000, 0))));
  // Headers cut before their fields.
  Bytes whole = bmptest::Bmp(1, 1, 24, Bytes(4, 0));
  BmpHeaderFacts facts;
  EXPECT_FALSE(CheckBmpHeader(whole.data(), 40, whole.size(), &facts));
  EXPECT_TRUE(CheckBmpHeader(whole.data(), 54, whole.size(), &facts));
}

// A JPEG made of the given segments after the start-of-image marker.
Bytes Jpeg(std::initializer_list<Bytes> segments) {
  Bytes b = {0xFF, 0xD8};
  for (const Bytes& s : segments) b.insert(b.end(), s.begin(), s.end());
  return b;
}
const Bytes app0 = {0xFF, 0xE0, 0, 6, 'J', 'F', 'I', 'F'};
// A baseline frame 12000 wide and 9000 high.
const Bytes frame = {0xFF, 0xC0, 0, 11, 8, 0x23, 0x28, 0x2E, 0xE0, 1, 1, 0x11, 0};

TEST(PictureHeader, ReadsTheJpegFrameSizeBehindOtherSegments) {
  int w = 0, h = 0;
  ASSERT_TRUE(ReadJpegFrameSize(Jpeg({app0, frame}).data(), Jpeg({app0, frame}).size(), &w, &h));
  EXPECT_EQ(w, 12000);
  EXPECT_EQ(h, 9000);
  // Fill bytes before a marker, a progressive frame.
  Bytes progressive = frame;
  progressive[1] = 0xC2;
  Bytes filled = Jpeg({{0xFF, 0xFF}, app0, progressive});
  ASSERT_TRUE(ReadJpegFrameSize(filled.data(), filled.size(), &w, &h));
  EXPECT_EQ(w, 12000);

  const std::string corpora = TROVE_CORPORA_DIR;
  const Bytes real = bmptest::ReadWhole(corpora + "/libjpeg-turbo-testimages/testorig.jpg");
  ASSERT_TRUE(ReadJpegFrameSize(real.data(), real.size(), &w, &h));
  EXPECT_EQ(w, 227);
  EXPECT_EQ(h, 149);
}

TEST(PictureHeader, FindsNoJpegFrameSizeWhereThereIsNone) {
  int w = -1, h = -1;
  const Bytes scanFirst = Jpeg({app0, {0xFF, 0xDA, 0, 2}, frame});
  EXPECT_FALSE(ReadJpegFrameSize(scanFirst.data(), scanFirst.size(), &w, &h));
  // A segment whose length runs past the data, and a frame cut in its middle.
  const Bytes longApp = Jpeg({{0xFF, 0xE1, 0xFF, 0xF0, 1, 2, 3}, frame});
  EXPECT_FALSE(ReadJpegFrameSize(longApp.data(), longApp.size(), &w, &h));
  const Bytes whole = Jpeg({app0, frame});
  EXPECT_FALSE(ReadJpegFrameSize(whole.data(), whole.size() - 8, &w, &h));
  // A height left to a later marker, a zero length, garbage between segments.
  Bytes deferred = frame;
  deferred[5] = deferred[6] = 0;
  const Bytes later = Jpeg({deferred});
  EXPECT_FALSE(ReadJpegFrameSize(later.data(), later.size(), &w, &h));
  const Bytes zero = Jpeg({{0xFF, 0xE0, 0, 0}, frame});
  EXPECT_FALSE(ReadJpegFrameSize(zero.data(), zero.size(), &w, &h));
  const Bytes junk = Jpeg({app0, {0x12}, frame});
  EXPECT_FALSE(ReadJpegFrameSize(junk.data(), junk.size(), &w, &h));
  const Bytes bmp = bmptest::Bmp(1, 1, 24, Bytes(4, 0));
  EXPECT_FALSE(ReadJpegFrameSize(bmp.data(), bmp.size(), &w, &h));
  EXPECT_EQ(w, -1);
  EXPECT_EQ(h, -1);
}

// What the check accepts, a decoder can read whole: every accepted BMP of the corpora decodes
// at the size the header gave, and the well-formed ones are accepted.
TEST(PictureHeader, CorpusBmpsTheCheckAcceptsDecodeAtTheirSize) {
  const std::filesystem::path root = TROVE_CORPORA_DIR;
  int accepted = 0, good = 0, goodAccepted = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    const Bytes bytes = bmptest::ReadWhole(entry.path());
    if (SniffPictureFormat(bytes.data(), bytes.size()) != PictureFormat::bmp) continue;
    const bool wellFormed = entry.path().parent_path().filename() == "g";
    good += wellFormed;
    BmpHeaderFacts facts;
    if (!CheckBmpHeader(bytes.data(), bytes.size(), bytes.size(), &facts)) continue;
    ++accepted;
    goodAccepted += wellFormed;
    platform::DecodedPicture picture;
    ASSERT_TRUE(platform::DecodePicture(entry.path().c_str(), nullptr, &picture)) << entry.path();
    EXPECT_EQ(picture.width, facts.width) << entry.path();
    EXPECT_EQ(picture.height, facts.height) << entry.path();
    platform::ReleasePicture(&picture);
  }
  EXPECT_GT(accepted, 50);
  EXPECT_GT(good, 0);
  EXPECT_EQ(goodAccepted, good);
}

}  // namespace
