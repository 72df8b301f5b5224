// Thumbnail samples taken straight from the decoded bitmap against sampling the converted
// picture, over the corpora and the project's samples; the sample positions; and the sizes
// read from picture headers.
#include "pictures/area_average.h"
#include "pictures/picture_samples.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "browser/picture_sampling.h"
#include "browser/picture_view.h"
#include "browser/thumbnail_page.h"
#include "pictures/texture_loader.h"
#include "platform/platform.h"
#include "support/picture_corpora.h"

namespace {

// The old way: convert every pixel of the picture, then take the samples from it.
std::vector<std::uint8_t> SampleConvertedPicture(const platform::DecodedPicture& picture,
                                                 float step, bool keyed,
                                                 const std::uint8_t key[3]) {
  std::vector<std::uint8_t> converted(
      picture.bits, picture.bits + static_cast<std::size_t>(picture.width) * picture.height * 4u);
  ConvertPicturePixels(converted.data(), converted.size() / 4u, keyed, key);
  std::vector<std::uint8_t> samples;
  for (int y : SamplePositions(picture.height, step)) {
    for (int x : SamplePositions(picture.width, step)) {
      const std::uint8_t* p = &converted[(static_cast<std::size_t>(y) * picture.width + x) * 4u];
      samples.insert(samples.end(), p, p + 4);
    }
  }
  return samples;
}

// Every picture of the list that decodes, with the colour key on (black, and the colour of its
// first pixel, which the picture surely holds) and off, at both cell sizes.
void ExpectDirectSamplingEqualsConversion(const std::vector<CorpusPicture>& files) {
  int compared = 0;
  for (const CorpusPicture& file : files) {
    platform::DecodedPicture picture;
    if (!platform::DecodePicture(file.path.c_str(), PictureFitsBuffer, &picture)) continue;
    const std::uint8_t black[3] = {0, 0, 0};
    const std::uint8_t first[3] = {picture.bits[2], picture.bits[1], picture.bits[0]};
    struct Key {
      bool on;
      const std::uint8_t* colour;
    };
    for (const Key& key : {Key{true, black}, Key{true, first}, Key{false, black}}) {
      for (int cell : {140, 200}) {
        const float step = ThumbnailStep(picture.width, picture.height, cell);
        PictureSamples direct;
        SampleDecodedPicture(picture, step, key.on, key.colour, &direct);
        const std::vector<std::uint8_t> old =
            SampleConvertedPicture(picture, step, key.on, key.colour);
        ASSERT_EQ(direct.rgba, old) << file.path << " cell " << cell << " key " << key.on;
        EXPECT_EQ(direct.pictureWidth, picture.width);
        EXPECT_EQ(direct.pictureHeight, picture.height);
        EXPECT_EQ(static_cast<std::size_t>(direct.columns) * direct.rows * 4u, old.size());
      }
    }
    platform::ReleasePicture(&picture);
    ++compared;
  }
  EXPECT_GT(compared, 0);
}

TEST(DirectSampling, ProjectSamplesWithColourKeyAndOddWidths) {
  char dir[] = "/tmp/trove-samples-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::vector<CorpusPicture> samples = ProjectSamples(dir);
  ASSERT_GE(samples.size(), 8u);
  ExpectDirectSamplingEqualsConversion(samples);
  std::filesystem::remove_all(dir);
}

TEST(DirectSampling, BmpSuite) {
  for (const char* folder : {"bmpsuite/g", "bmpsuite/q", "bmpsuite/b"}) {
    ExpectDirectSamplingEqualsConversion(CorpusFolder(folder));
  }
}

TEST(DirectSampling, JpegCorpora) {
  for (const char* folder :
       {"libjpeg-turbo-testimages", "jpeg-decoder-tests/reftest", "jpeg-decoder-tests/icc"}) {
    ExpectDirectSamplingEqualsConversion(CorpusFolder(folder));
  }
}

TEST(DirectSampling, KeyedAlphaFollowsEachSample) {
  // Two pixels: the key colour and one that differs from it in a single channel.
  std::uint8_t bits[8] = {30, 20, 10, 0, 31, 20, 10, 0};  // B, G, R, unused
  platform::DecodedPicture picture;
  picture.bits = bits;
  picture.width = 2;
  picture.height = 1;
  const std::uint8_t key[3] = {10, 20, 30};
  PictureSamples samples;
  ASSERT_TRUE(SampleDecodedPicture(picture, 1.0f, true, key, &samples));
  EXPECT_EQ(samples.rgba, (std::vector<std::uint8_t>{10, 20, 30, 0, 10, 20, 31, 255}));
  ASSERT_TRUE(SampleDecodedPicture(picture, 1.0f, false, key, &samples));
  EXPECT_EQ(samples.rgba, (std::vector<std::uint8_t>{10, 20, 30, 255, 10, 20, 31, 255}));
}

TEST(SamplePositions, AccumulateInSinglePrecision) {
  // 4000 x 3000 in a 200 cell: step 40, 100 by 75 samples.
  EXPECT_EQ(SamplePositions(4000, ThumbnailStep(4000, 3000, 200)).size(), 100u);
  EXPECT_EQ(SamplePositions(3000, ThumbnailStep(4000, 3000, 200)).size(), 75u);
  // 1000 x 500 in a 140 cell: the accumulated error gives 71 by 36.
  const float step = ThumbnailStep(1000, 500, 140);
  EXPECT_EQ(SamplePositions(1000, step).size(), 71u);
  EXPECT_EQ(SamplePositions(500, step).size(), 36u);
  // 10 x 10 in a 140 cell is enlarged: every pixel repeated.
  const std::vector<int> tiny = SamplePositions(10, ThumbnailStep(10, 10, 140));
  ASSERT_EQ(tiny.size(), 70u);
  EXPECT_EQ(tiny.front(), 0);
  EXPECT_EQ(tiny.back(), 9);
  EXPECT_TRUE(SamplePositions(0, 1.0f).empty());
  EXPECT_TRUE(SamplePositions(10, 0.0f).empty());
  EXPECT_TRUE(SamplePositions(10, -1.0f).empty());
  // A step lost in the rounding of large positions ends the walk instead of looping.
  EXPECT_LT(SamplePositions(100000000, 1.0f).size(), 100000000u);
}

// The size a header declares is the size the decoder gives, for every file that decodes.
TEST(PictureHeaders, SizeMatchesTheDecodedSize) {
  int checked = 0;
  for (const char* folder : {"bmpsuite/g", "bmpsuite/q", "libjpeg-turbo-testimages",
                             "jpeg-decoder-tests/reftest", "jpeg-decoder-tests/icc"}) {
    for (const CorpusPicture& file : CorpusFolder(folder)) {
      platform::DecodedPicture picture;
      if (!platform::DecodePicture(file.path.c_str(), PictureFitsBuffer, &picture)) continue;
      int width = 0;
      int height = 0;
      EXPECT_TRUE(ProbePictureSize(file.path.c_str(), &width, &height)) << file.path;
      EXPECT_EQ(width, picture.width) << file.path;
      EXPECT_EQ(height, picture.height) << file.path;
      platform::ReleasePicture(&picture);
      ++checked;
    }
  }
  EXPECT_GT(checked, 50);
}

TEST(PictureHeaders, FrameAfterLongSegmentsAndDamagedHeaders) {
  // Start of image, an application segment of 60000 bytes, then a baseline frame header.
  std::vector<std::uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xE1, 0xEA, 0x60};
  jpeg.resize(jpeg.size() + 60000 - 2, 0x55);
  const std::uint8_t frame[] = {0xFF, 0xC0, 0x00, 0x11, 0x08, 0x0B, 0xB8, 0x0F, 0xA0, 0x03,
                                1,    0x22, 0,    2,    0x11, 1,    3,    0x11, 1};
  jpeg.insert(jpeg.end(), frame, frame + sizeof frame);
  int width = 0;
  int height = 0;
  ASSERT_TRUE(PictureSizeFromHeader(jpeg.data(), jpeg.size(), &width, &height));
  EXPECT_EQ(width, 4000);
  EXPECT_EQ(height, 3000);
  // Cut inside the frame header, inside the long segment, or with scan data before any frame.
  EXPECT_FALSE(PictureSizeFromHeader(jpeg.data(), jpeg.size() - 3, &width, &height));
  EXPECT_FALSE(PictureSizeFromHeader(jpeg.data(), 3000, &width, &height));
  const std::uint8_t scanFirst[] = {0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x08, 1, 2, 3, 4, 5, 6};
  EXPECT_FALSE(PictureSizeFromHeader(scanFirst, sizeof scanFirst, &width, &height));
  // A BMP with zero width, and one stored top-down (negative height).
  std::uint8_t bmp[54] = {'B', 'M'};
  bmp[14] = 40;
  EXPECT_FALSE(PictureSizeFromHeader(bmp, sizeof bmp, &width, &height));
  bmp[18] = 7;
  const std::int32_t topDown = -5;
  std::memcpy(bmp + 22, &topDown, 4);
  ASSERT_TRUE(PictureSizeFromHeader(bmp, sizeof bmp, &width, &height));
  EXPECT_EQ(width, 7);
  EXPECT_EQ(height, 5);
  // An info header of a size no header has: its fields are nowhere known.
  bmp[14] = 41;
  EXPECT_FALSE(PictureSizeFromHeader(bmp, sizeof bmp, &width, &height));
  const std::uint8_t text[] = "plain text, no picture";
  EXPECT_FALSE(PictureSizeFromHeader(text, sizeof text, &width, &height));
}

}  // namespace

// A picture larger than the canvas is fitted whole with its aspect kept, one that fits keeps its
// size; reduced by area averaging, stripes of one pixel become their mean instead of one of
// their colours, and an even reduction averages exactly the pixels under each output pixel.
TEST(AreaAverage, FittedSizesAndMeans) {
  const struct {
    int width, height, boxWidth, boxHeight;
    FittedSize fitted;
  } sizes[] = {
      {4000, 3000, 960, 540, {720, 540}},  // landscape, limited by the height
      {4000, 1000, 960, 540, {960, 240}},  // landscape, limited by the width
      {3000, 4000, 960, 540, {405, 540}},  // portrait
      {640, 480, 960, 540, {640, 480}},    // smaller: never enlarged
      {100000, 1, 960, 540, {960, 1}},     // at least a pixel high
      {0, 10, 960, 540, {0, 0}},
  };
  for (const auto& c : sizes) {
    EXPECT_EQ(FitWithin(c.width, c.height, c.boxWidth, c.boxHeight), c.fitted)
        << c.width << "x" << c.height;
  }
  // Vertical stripes of black and white, 3 bytes a pixel, reduced at several factors.
  const int width = 400;
  const int height = 30;
  std::vector<std::uint8_t> stripes(static_cast<std::size_t>(width) * height * 3);
  for (std::size_t i = 0; i < stripes.size(); ++i) stripes[i] = (i / 3) % 2 ? 255 : 0;
  for (const int outWidth : {200, 40, 7}) {
    std::vector<std::uint8_t> out;
    ASSERT_TRUE(ReduceByAreaAverage(stripes.data(), width, height, 3, outWidth, 10, &out));
    ASSERT_EQ(out.size(), static_cast<std::size_t>(outWidth) * 10 * 4);
    for (std::size_t i = 0; i < out.size(); i += 4) {
      EXPECT_NEAR(out[i], 128, 3) << outWidth;  // every output pixel the mean, never 0 or 255
      EXPECT_EQ(out[i + 3], 255);
    }
  }
  // A 2 x 2 picture becomes the exact mean of its four pixels, channel by channel.
  const std::uint8_t quad[] = {10, 1, 100, 20, 3, 100, 30, 5, 100, 60, 7, 100};
  std::vector<std::uint8_t> one;
  ASSERT_TRUE(ReduceByAreaAverage(quad, 2, 2, 3, 1, 1, &one));
  EXPECT_EQ(one, (std::vector<std::uint8_t>{30, 4, 100, 255}));
  EXPECT_FALSE(ReduceByAreaAverage(quad, 2, 2, 3, 3, 1, &one));  // no enlarging
}
