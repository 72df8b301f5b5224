// The picture loader: extensions and kinds, full paths, the colour key, and what the
// PictureBuffer, width, height and PictureInfo hold after good and failed loads.
#include "pictures/texture_loader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/program_fixture.h"

namespace {

namespace fs = std::filesystem;

void Put32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) v[at + i] = (value >> (8 * i)) & 0xFF;
}

// A 24-bit BMP of width x height; pixels are given as R, G, B, bottom row first.
std::vector<std::uint8_t> MakeBmp24(int width, int height, const std::vector<std::uint8_t>& rgb) {
  const int stride = (width * 3 + 3) / 4 * 4;
  std::vector<std::uint8_t> v(54 + static_cast<std::size_t>(stride) * height);
  v[0] = 'B';
  v[1] = 'M';
  Put32(v, 2, static_cast<std::uint32_t>(v.size()));
  Put32(v, 10, 54);
  Put32(v, 14, 40);
  Put32(v, 18, static_cast<std::uint32_t>(width));
  Put32(v, 22, static_cast<std::uint32_t>(height));
  v[26] = 1;
  v[28] = 24;
  for (int y = 0; y < height && !rgb.empty(); ++y) {
    for (int x = 0; x < width; ++x) {
      const std::size_t from = (static_cast<std::size_t>(y) * width + x) * 3;
      const std::size_t to = 54 + static_cast<std::size_t>(y) * stride + x * 3;
      v[to] = rgb[from + 2];
      v[to + 1] = rgb[from + 1];
      v[to + 2] = rgb[from];
    }
  }
  return v;
}

// A width x height BMP filled with one colour.
std::vector<std::uint8_t> SolidBmp(int width, int height, std::uint8_t r, std::uint8_t g,
                                   std::uint8_t b) {
  std::vector<std::uint8_t> rgb;
  for (int i = 0; i < width * height; ++i) rgb.insert(rgb.end(), {r, g, b});
  return MakeBmp24(width, height, rgb);
}

class LoaderTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    // The PictureBuffer as start-up obtains it; pages never written cost nothing.
    textureLoader.pixels = static_cast<std::uint8_t*>(std::malloc(pictureBufferBytes));
    ASSERT_NE(textureLoader.pixels, nullptr);
    char pattern[] = "/tmp/trove_loader_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    ASSERT_NE(getcwd(startDir, sizeof startDir), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);
  }
  void TearDown() override {
    EXPECT_EQ(chdir(startDir), 0);
    fs::remove_all(dir);
    ProgramTest::TearDown();
  }

  void Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    fs::create_directories(fs::path(dir + "/" + name).parent_path());
    std::ofstream out(dir + "/" + name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }

  std::vector<std::uint8_t> Buffer(std::size_t bytes) const {
    return {textureLoader.pixels, textureLoader.pixels + bytes};
  }

  std::string dir;
  char startDir[4096] = {};
  PictureInfo info;
};

std::string Extension(const char* name) {
  char extension[16];
  std::memset(extension, '#', sizeof extension);
  TextureLoader loader;
  loader.GetFileExtension(name, extension);
  return extension;
}

std::int32_t Kind(TextureLoader& loader, const char* name) {
  PictureInfo info;
  info.kind = 99;
  EXPECT_EQ(loader.IdentifyPicture(name, &info), 1);
  return info.kind;
}

// ---- Construction and identification ----------------------------------------------------------

TEST_F(LoaderTest, OnlyAnEnabledColourKeyStoresItsColour) {
  TextureLoader fresh;
  fresh.SetColourKey(2, 9, 9, 9);
  EXPECT_EQ(fresh.colourKeyEnabled, 2);
  EXPECT_EQ(fresh.colourKey[0], 0);
  fresh.SetColourKey(1, 10, 20, 30);
  EXPECT_EQ(fresh.colourKey[2], 30);
}

TEST_F(LoaderTest, ExtensionsAreTakenAfterTheLastDot) {
  EXPECT_EQ(Extension("Photo.JPEG"), "JPEG");
  EXPECT_EQ(Extension("archive.tar.jpg"), "jpg");
  EXPECT_EQ(Extension("README"), "");
  EXPECT_EQ(Extension("file."), "");
  EXPECT_EQ(Extension(".bmp"), "bmp");
  EXPECT_EQ(Extension("album.old\\photo"), "old\\photo");
  EXPECT_EQ(Extension("x.abcdefghijklmno"), "abcdefghijklmno");  // 15: fits
  EXPECT_EQ(Extension("x.abcdefghijklmnop"), "");                // 16: does not
  EXPECT_EQ(Extension("clip.abcdefghijklmnopqrst"), "");         // 20
}

TEST_F(LoaderTest, KindsComeFromTheExtensionInAnyCase) {
  struct Case {
    const char* name;
    std::int32_t kind;
    std::int32_t loadable;
  };
  const Case cases[] = {
      {"Photo.JPEG", pictureJpeg, 1},
      {"scan.Bmp", pictureBmp, 1},
      {"a.jpg", pictureJpeg, 1},
      {"anim.gif", pictureGif, 0},
      {"icon.ICO", pictureIcon, 0},
      {"chart.emf", pictureEmf, 0},
      {"chart.Wmf", pictureWmf, 0},
      {"archive.tar.jpg", pictureJpeg, 1},
      {"README", pictureUnknown, 0},
      {"file.", pictureUnknown, 0},
      {".bmp", pictureBmp, 1},
      {"album.old\\photo", pictureUnknown, 0},
      {"x.jpe", pictureUnknown, 0},
      {"x.bmpx", pictureUnknown, 0},
      {"a.abcdefghijklmnopqrst", pictureUnknown, 0},
  };
  for (const Case& c : cases) {
    textureLoader.loadable = 7;
    EXPECT_EQ(Kind(textureLoader, c.name), c.kind) << c.name;
    EXPECT_EQ(textureLoader.loadable, c.loadable) << c.name;
  }
}

// ---- Loading --------------------------------------------------------------------------------

TEST_F(LoaderTest, LoadsByNameInTheCurrentDirectory) {
  Write("scan.Bmp", SolidBmp(3, 2, 10, 20, 30));
  ASSERT_EQ(textureLoader.LoadPicture("scan.Bmp", &info), 1);
  EXPECT_EQ(info.kind, pictureBmp);
  EXPECT_EQ(info.width, 3);
  EXPECT_EQ(info.height, 2);
  EXPECT_EQ(info.bitsPerPixel, 32);
  EXPECT_EQ(info.format, 6408);
  EXPECT_EQ(textureLoader.width, 3);
  EXPECT_EQ(textureLoader.height, 2);
  EXPECT_EQ(textureLoader.loadable, 1);

  // A JPEG under an upper-case extension.
  fs::copy_file(std::string(TROVE_CORPORA_DIR) + "/libjpeg-turbo-testimages/testorig.jpg",
                dir + "/Photo.JPEG");
  ASSERT_EQ(textureLoader.LoadPicture("Photo.JPEG", &info), 1);
  EXPECT_EQ(info.kind, pictureJpeg);
  EXPECT_EQ(info.width, 227);
  EXPECT_EQ(info.height, 149);

  // A name in a subdirectory, with the program's separator.
  Write("sub/inner.bmp", SolidBmp(1, 1, 5, 5, 5));
  EXPECT_EQ(textureLoader.LoadPicture("sub\\inner.bmp", &info), 1);
  EXPECT_EQ(info.width, 1);
}

TEST_F(LoaderTest, KindsThatAreNotDecodedOpenNothing) {
  // The content is a good BMP: only the name keeps it from being decoded.
  Write("anim.gif", SolidBmp(2, 2, 1, 2, 3));
  Write("README", SolidBmp(2, 2, 1, 2, 3));
  info.width = 41;
  EXPECT_EQ(textureLoader.IdentifyPicture("anim.gif", &info), 1);
  EXPECT_EQ(textureLoader.loadable, 0);
  EXPECT_EQ(textureLoader.LoadPicture("anim.gif", &info), 0);
  EXPECT_EQ(info.kind, pictureGif);
  EXPECT_EQ(textureLoader.LoadPicture("README", &info), 0);
  EXPECT_EQ(info.kind, pictureUnknown);
  EXPECT_EQ(info.width, 41);
  EXPECT_EQ(textureLoader.width, 0);
}

TEST_F(LoaderTest, ColourKeyGivesAlphaAndRgbaOrder) {
  // Bottom row: black, 1,0,0, 0,0,1; top row: 10,20,30, white, 0,1,0.
  Write("key.bmp",
        MakeBmp24(3, 2, {0, 0, 0, 1, 0, 0, 0, 0, 1, 10, 20, 30, 255, 255, 255, 0, 1, 0}));
  ASSERT_EQ(textureLoader.LoadPicture("key.bmp", &info), 1);
  const std::vector<std::uint8_t> expected = {0,  0,  0,  0,   1,   0,   0,   255, 0, 0, 1, 255,
                                              10, 20, 30, 255, 255, 255, 255, 255, 0, 1, 0, 255};
  EXPECT_EQ(Buffer(24), expected);

  // Another key colour: only exact matches turn transparent.
  textureLoader.SetColourKey(1, 10, 20, 30);
  ASSERT_EQ(textureLoader.LoadPicture("key.bmp", &info), 1);
  EXPECT_EQ(textureLoader.pixels[3], 255);  // black
  EXPECT_EQ(textureLoader.pixels[15], 0);   // 10, 20, 30
  EXPECT_EQ(textureLoader.pixels[7], 255);  // 1, 0, 0

  // Key off: the same byte order, every pixel opaque.
  textureLoader.SetColourKey(0, 0, 0, 0);
  ASSERT_EQ(textureLoader.LoadPicture("key.bmp", &info), 1);
  std::vector<std::uint8_t> opaque = expected;
  opaque[3] = 255;
  EXPECT_EQ(Buffer(24), opaque);
}

TEST_F(LoaderTest, FailedLoadsKeepThePreviousPicture) {
  Write("good.bmp", SolidBmp(4, 3, 200, 100, 50));
  ASSERT_EQ(textureLoader.LoadPicture("good.bmp", &info), 1);
  const std::vector<std::uint8_t> before = Buffer(4 * 3 * 4 + 64);
  const PictureInfo infoBefore = info;

  Write("garbage.bmp", {'B', 'M', 1, 2, 3});
  Write("cut.jpg", {0xFF, 0xD8, 0xFF});
  // Claims 20000 x 20000 (400,000,000 pixels) in a file of a few bytes.
  std::vector<std::uint8_t> huge = SolidBmp(1, 1, 9, 9, 9);
  Put32(huge, 18, 20000);
  Put32(huge, 22, 20000);
  Write("huge.bmp", huge);
  // Just over the buffer's 100,000,000 pixels.
  std::vector<std::uint8_t> over = SolidBmp(1, 1, 9, 9, 9);
  Put32(over, 18, 10001);
  Put32(over, 22, 10000);
  Write("over.bmp", over);

  for (const char* name : {"missing.bmp", "garbage.bmp", "cut.jpg", "huge.bmp", "over.bmp"}) {
    EXPECT_EQ(textureLoader.LoadPicture(name, &info), 0) << name;
    EXPECT_EQ(Buffer(before.size()), before) << name;
    EXPECT_EQ(textureLoader.width, 4) << name;
    EXPECT_EQ(textureLoader.height, 3) << name;
    EXPECT_EQ(info.width, infoBefore.width) << name;
    EXPECT_EQ(info.height, infoBefore.height) << name;
    EXPECT_EQ(info.bitsPerPixel, 32) << name;
  }
}

TEST_F(LoaderTest, SmallerPictureLeavesTheLargerOnesBytesBeyond) {
  Write("large.bmp", SolidBmp(4, 4, 7, 8, 9));
  Write("small.bmp", SolidBmp(2, 1, 1, 2, 3));
  ASSERT_EQ(textureLoader.LoadPicture("large.bmp", &info), 1);
  ASSERT_EQ(textureLoader.LoadPicture("small.bmp", &info), 1);
  EXPECT_EQ(info.width, 2);
  EXPECT_EQ(info.height, 1);
  const std::vector<std::uint8_t> bytes = Buffer(64);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(bytes[i * 4], 1);
    EXPECT_EQ(bytes[i * 4 + 2], 3);
  }
  for (int i = 2; i < 16; ++i) {
    EXPECT_EQ(bytes[i * 4], 7) << i;
    EXPECT_EQ(bytes[i * 4 + 3], 255) << i;
  }
}

TEST_F(LoaderTest, RowsRunBottomToTop) {
  // Bottom row red, top row blue.
  Write("rows.bmp", MakeBmp24(1, 2, {255, 0, 0, 0, 0, 255}));
  ASSERT_EQ(textureLoader.LoadPicture("rows.bmp", &info), 1);
  EXPECT_EQ(textureLoader.pixels[0], 255);
  EXPECT_EQ(textureLoader.pixels[6], 255);
}

// ---- Paths -----------------------------------------------------------------------------------

TEST_F(LoaderTest, HttpNamesGoToTheDecoderUnchanged) {
  // Native paths take the name as a path; "http:" is then a directory.
  Write("web/http:/pic.bmp", SolidBmp(2, 1, 1, 1, 1));
  const std::string url = dir + "/web/http://pic.bmp";
  EXPECT_EQ(textureLoader.LoadPicture(url.c_str(), &info), 1);
  EXPECT_EQ(info.width, 2);

  // Without "http://" (the rule is case-sensitive) the current directory goes in front, so
  // the same absolute name no longer names the file.
  Write("web/HTTP:/pic.bmp", SolidBmp(2, 1, 1, 1, 1));
  const std::string upper = dir + "/web/HTTP://pic.bmp";
  EXPECT_EQ(textureLoader.LoadPicture(upper.c_str(), &info), 0);
  EXPECT_EQ(info.kind, pictureBmp);
}

TEST_F(LoaderTest, OverlongPathsFailCleanly) {
  // Down to a current directory that leaves room for a separator and a 200-byte name: that
  // full path is the longest the system takes, and one byte more is refused before any open.
  std::string deep = dir;
  const std::size_t target = platform::longestPath - 1 - 200;
  while (deep.size() < target) {
    const std::size_t remaining = target - deep.size();
    const std::string part(remaining - 1 <= 200 ? remaining - 1 : 100, 'd');
    ASSERT_EQ(mkdir(part.c_str(), 0755), 0);
    ASSERT_EQ(chdir(part.c_str()), 0);
    deep += "/" + part;
  }
  std::string fits = std::string(196, 'f') + ".bmp";
  std::string oneMore = "g" + fits;
  for (const std::string& name : {fits, oneMore}) {
    const std::vector<std::uint8_t> bmp = SolidBmp(1, 1, 2, 2, 2);
    std::ofstream(name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
  }
  EXPECT_EQ(textureLoader.LoadPicture(fits.c_str(), &info), 1);
  EXPECT_EQ(textureLoader.LoadPicture(oneMore.c_str(), &info), 0);
  EXPECT_EQ(info.kind, pictureBmp);
  EXPECT_EQ(textureLoader.loadable, 1);
  // The clean-up goes by absolute paths, which this one would exceed.
  EXPECT_EQ(unlink(oneMore.c_str()), 0);

  std::string url = "http://example.invalid/" + std::string(platform::longestPath, 'u') + ".jpg";
  EXPECT_EQ(textureLoader.LoadPicture(url.c_str(), &info), 0);
  EXPECT_EQ(info.kind, pictureJpeg);
}

TEST_F(LoaderTest, NothingIsWrittenWithoutRoomForIt) {
  Write("a.bmp", SolidBmp(1, 1, 3, 3, 3));
  std::uint8_t* buffer = textureLoader.pixels;
  textureLoader.pixels = nullptr;
  EXPECT_EQ(textureLoader.LoadPicture("a.bmp", &info), 0);
  textureLoader.pixels = buffer;

  // StorePixels refuses a size beyond the PictureBuffer instead of overrunning it.
  std::memset(buffer, 0x5A, 16);
  PictureInfo claim;
  claim.width = 20000;
  claim.height = 20000;
  claim.bitsPerPixel = 32;
  const std::uint8_t bits[16] = {};
  textureLoader.StorePixels(&claim, bits);
  EXPECT_EQ(buffer[0], 0x5A);
  claim.width = 2;
  claim.height = 2;
  textureLoader.StorePixels(&claim, bits);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(buffer[15], 0);
}

}  // namespace
