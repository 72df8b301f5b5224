// The OLE picture loader on a real (Wine) system: upright pixels, sizes, and every file of
// the test corpora (tests/data) decoded or refused without harm.
#include <ole2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "reproducers.h"

namespace {

// The program initialises COM once at start; the tests do the same.
class ComEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { OleInitialize(nullptr); }
  void TearDown() override { OleUninitialize(); }
};
const auto* const comEnvironment = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

bool AnySize(int width, int height) {
  return width > 0 && height > 0 && static_cast<long long>(width) * height <= 100000000;
}

std::string TempFile(const char* name) {
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  return std::string(base) + name;
}

// A 24-bit BMP of 3 x 2 pixels, rows padded to 12 bytes; height negative for top-down.
std::string WriteSmallBmp(const char* name, bool topDown) {
  const std::uint8_t bottom[3][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};  // R, G, B
  const std::uint8_t top[3][3] = {{255, 255, 255}, {0, 0, 0}, {128, 64, 32}};
  std::vector<std::uint8_t> file(54 + 24, 0);
  auto put32 = [&](int at, std::int32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<std::int32_t>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, 3);
  put32(22, topDown ? -2 : 2);
  file[26] = 1;
  file[28] = 24;
  const std::uint8_t(*rows[2])[3] = {topDown ? top : bottom, topDown ? bottom : top};
  for (int r = 0; r < 2; ++r) {
    for (int x = 0; x < 3; ++x) {
      std::uint8_t* p = &file[54 + r * 12 + x * 3];
      p[0] = rows[r][x][2];
      p[1] = rows[r][x][1];
      p[2] = rows[r][x][0];
    }
  }
  std::string path = TempFile(name);
  FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(file.data(), 1, file.size(), f);
  std::fclose(f);
  return path;
}

TEST(OlePictures, DecodesBmpUprightBottomRowFirst) {
  for (bool topDown : {false, true}) {
    std::string path = WriteSmallBmp(topDown ? "trove-ole-td.bmp" : "trove-ole-bu.bmp", topDown);
    platform::DecodedPicture picture;
    ASSERT_TRUE(platform::DecodePicture(path.c_str(), AnySize, &picture)) << topDown;
    ASSERT_EQ(picture.width, 3);
    ASSERT_EQ(picture.height, 2);
    // Blue, green, red of the bottom row, then the top row.
    const std::uint8_t expected[2][3][3] = {{{0, 0, 255}, {0, 255, 0}, {255, 0, 0}},
                                            {{255, 255, 255}, {0, 0, 0}, {32, 64, 128}}};
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < 3; ++x) {
        const std::uint8_t* p = picture.bits + (y * 3 + x) * 4;
        EXPECT_EQ(p[0], expected[y][x][0]) << topDown << " " << x << "," << y;
        EXPECT_EQ(p[1], expected[y][x][1]) << topDown << " " << x << "," << y;
        EXPECT_EQ(p[2], expected[y][x][2]) << topDown << " " << x << "," << y;
      }
    }
    platform::ReleasePicture(&picture);
    DeleteFileA(path.c_str());
  }
}

TEST(OlePictures, RefusedSizeAndMissingFilesFail) {
  std::string path = WriteSmallBmp("trove-ole-refused.bmp", false);
  platform::DecodedPicture picture;
  EXPECT_FALSE(platform::DecodePicture(
      path.c_str(), [](int, int) { return false; }, &picture));
  EXPECT_EQ(picture.bits, nullptr);
  DeleteFileA(path.c_str());
  EXPECT_FALSE(platform::DecodePicture(TempFile("trove-no-such.jpg").c_str(), AnySize, &picture));
  std::string tooLong = "C:\\" + std::string(300, 'a') + ".bmp";
  EXPECT_FALSE(platform::DecodePicture(tooLong.c_str(), AnySize, &picture));
}

// A well-formed 2 x 2 BMP of 2 bits per pixel with its 4-entry palette: a depth the platform's
// loader does not draw, so that no program shows it.
std::string WriteTwoBitBmp(const std::string& folder) {
  std::vector<std::uint8_t> b(54 + 16 + 8, 0);
  b[0] = 'B';
  b[1] = 'M';
  reproducer::Put32(b, 2, static_cast<std::uint32_t>(b.size()));
  reproducer::Put32(b, 10, 54 + 16);
  reproducer::Put32(b, 14, 40);
  reproducer::Put32(b, 18, 2);
  reproducer::Put32(b, 22, 2);
  b[26] = 1;
  b[28] = 2;
  for (int i = 0; i < 4; ++i) b[54 + i * 4 + 1] = static_cast<std::uint8_t>(i * 80);
  b[70] = 0x10;  // the bottom row: entries 0 and 1, padded to 4 bytes
  b[74] = 0xB0;  // the top row: entries 2 and 3
  return reproducer::Write(folder + "\\two-bit.bmp", b);
}

// Content the platform's loader cannot be trusted with never reaches it: an 11-byte ".jpg"
// that is an icon directory, a run-length BMP whose data lie far outside the file (either used
// to end the process), and a 2-bit BMP, which the header check refuses like the native decoder.
TEST(OlePictures, ContentThatIsNoCheckedJpegOrBmpIsRefused) {
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  const std::string folder = std::string(base) + "trove-ole-repro";
  CreateDirectoryA(folder.c_str(), nullptr);
  int asked = 0;
  static int* askedCount = &asked;
  auto count = [](int, int) {
    ++*askedCount;
    return true;
  };
  platform::DecodedPicture picture;
  for (const std::string& path : {reproducer::IconAsJpeg(folder),
                                  reproducer::FarRunLengthBmp(folder), WriteTwoBitBmp(folder)}) {
    EXPECT_FALSE(platform::DecodePicture(path.c_str(), count, &picture)) << path;
    EXPECT_EQ(picture.bits, nullptr);
    DeleteFileA(path.c_str());
  }
  EXPECT_EQ(asked, 0);
  // A BMP and a JPEG renamed to each other's extension are still what their content is.
  std::string bmp = WriteSmallBmp("trove-ole-bmp.jpg", false);
  EXPECT_TRUE(platform::DecodePicture(bmp.c_str(), AnySize, &picture));
  platform::ReleasePicture(&picture);
  DeleteFileA(bmp.c_str());
  RemoveDirectoryA(folder.c_str());
}

// The size limit is asked with the size from the JPEG's frame header before the platform
// decodes anything: a refused 12000 x 9000 picture costs no decode.
TEST(OlePictures, TheSizeLimitIsAskedFromTheHeaderBeforeAnyDecode) {
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  const std::string path = reproducer::HugeJpegHeader(base);
  static int askedWidth = 0, askedHeight = 0;
  auto refuse = [](int width, int height) {
    askedWidth = width;
    askedHeight = height;
    return false;
  };
  platform::DecodedPicture picture;
  EXPECT_FALSE(platform::DecodePicture(path.c_str(), refuse, &picture));
  EXPECT_EQ(askedWidth, 12000);
  EXPECT_EQ(askedHeight, 9000);
  // The same limit refuses a BMP by its header.
  std::string small = WriteSmallBmp("trove-ole-limit.bmp", false);
  EXPECT_FALSE(platform::DecodePicture(small.c_str(), refuse, &picture));
  EXPECT_EQ(askedWidth, 3);
  EXPECT_EQ(askedHeight, 2);
  DeleteFileA(small.c_str());
  DeleteFileA(path.c_str());
}

TEST(OlePictures, DecodesRealJpegAndBmpFilesAtTheirSizes) {
  const std::string corpora = TROVE_CORPORA_DIR;
  struct Case {
    const char* file;
    int width, height;
  } cases[] = {{"/libjpeg-turbo-testimages/testorig.jpg", 227, 149},
               {"/bmpsuite/g/rgb24.bmp", 127, 64},
               {"/bmpsuite/g/pal8.bmp", 127, 64}};
  for (const Case& c : cases) {
    std::string path = "Z:" + corpora + c.file;
    for (char& ch : path) {
      if (ch == '/') ch = '\\';
    }
    platform::DecodedPicture picture;
    ASSERT_TRUE(platform::DecodePicture(path.c_str(), AnySize, &picture)) << c.file;
    EXPECT_EQ(picture.width, c.width) << c.file;
    EXPECT_EQ(picture.height, c.height) << c.file;
    platform::ReleasePicture(&picture);
  }
}

// Every file of the corpora, broken and hostile ones included: a decode either succeeds with a
// sane size or fails; nothing crashes. The refused files are listed in the test's output.
TEST(OlePictures, EveryCorpusFileDecodesOrFailsCleanly) {
  std::filesystem::path root = std::string("Z:") + TROVE_CORPORA_DIR;
  int decoded = 0;
  std::vector<std::string> refused;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    std::string ext = entry.path().extension().string();
    for (char& ch : ext) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (ext != ".bmp" && ext != ".jpg" && ext != ".jpeg" && ext != "") continue;
    std::string path = entry.path().string();
    for (char& ch : path) {
      if (ch == '/') ch = '\\';
    }
    if (std::getenv("TROVE_TRACE_DECODES")) {
      std::printf("decoding %s\n", path.c_str());
      std::fflush(stdout);
    }
    platform::DecodedPicture picture;
    if (platform::DecodePicture(path.c_str(), AnySize, &picture)) {
      EXPECT_TRUE(AnySize(picture.width, picture.height)) << path;
      EXPECT_NE(picture.bits, nullptr) << path;
      platform::ReleasePicture(&picture);
      ++decoded;
    } else {
      refused.push_back(path.substr(root.string().size()));
    }
  }
  std::printf("decoded %d, refused %d:\n", decoded, static_cast<int>(refused.size()));
  for (const std::string& r : refused) std::printf("  refused %s\n", r.c_str());
  EXPECT_GT(decoded, 50);
}

}  // namespace
