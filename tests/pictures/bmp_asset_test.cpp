// The BMP asset reader on files made here and on the picture corpora in tests/data.
#include "pictures/bmp_asset.h"

#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <map>

#include "bmp_files.h"

namespace {

using namespace bmptest;

class BmpAssetTest : public SlotTest {
 protected:
  // Puts slot 5 in a known loaded state to see whether a failed read touches it.
  void LoadKnown() {
    ASSERT_TRUE(ReadBmpAsset(Write("known.bmp", Bmp(4, 1, 24, Ramp(12, 100))).c_str(), Slot(5)));
    known_ = Slot(5).pixels;
  }
  void ExpectKnownUntouched() {
    EXPECT_EQ(Slot(5).pixels, known_);
    EXPECT_EQ(Slot(5).width, 4);
    EXPECT_EQ(Slot(5).height, 1);
    EXPECT_EQ(Slot(5).bytesPerPixel, 3);
    EXPECT_EQ(SlotBytes(Slot(5)), Swapped(Ramp(12, 100)));
  }
  std::uint8_t* known_ = nullptr;
};

TEST_F(BmpAssetTest, ReadsUnpaddedPictureWithRedAndBlueSwapped) {
  Bytes pixels = Ramp(24);
  ASSERT_TRUE(ReadBmpAsset(Write("a.bmp", Bmp(4, 2, 24, pixels)).c_str(), Slot(7)));
  EXPECT_EQ(Slot(7).width, 4);
  EXPECT_EQ(Slot(7).height, 2);
  EXPECT_EQ(Slot(7).bytesPerPixel, 3);
  Bytes expected = {3,  2,  1,  6,  5,  4,  9,  8,  7,  12, 11, 10,
                    15, 14, 13, 18, 17, 16, 21, 20, 19, 24, 23, 22};
  EXPECT_EQ(SlotBytes(Slot(7)), expected);
  // Nothing else in the table moved.
  EXPECT_EQ(Slot(6).pixels, nullptr);
  EXPECT_EQ(Slot(8).width, 0);
}

TEST_F(BmpAssetTest, PaddedRowsAreReadAsOneUnpaddedBlock) {
  // 2 x 2 as a standard tool writes it: rows of 6 bytes plus 2 bytes of padding.
  Bytes data = {10, 11, 12, 13, 14, 15, 0xEE, 0xEF, 20, 21, 22, 23, 24, 25, 0, 0};
  ASSERT_TRUE(ReadBmpAsset(Write("padded.bmp", Bmp(2, 2, 24, data)).c_str(), Slot(1)));
  // The second row starts with the first row's padding and ends inside the file's second row.
  Bytes expected = {12, 11, 10, 15, 14, 13, 20, 0xEF, 0xEE, 23, 22, 21};
  EXPECT_EQ(SlotBytes(Slot(1)), expected);
}

TEST_F(BmpAssetTest, PixelsStartAtByte54WhateverTheOffsetFieldSays) {
  // A larger info header: the offset field says 122, the file has 68 header bytes after 54.
  Bytes rest = Ramp(68 + 12, 50);
  Bytes file = Bmp(2, 2, 24, rest, 122);
  ASSERT_TRUE(ReadBmpAsset(Write("v4.bmp", file).c_str(), Slot(2)));
  EXPECT_EQ(SlotBytes(Slot(2)), Swapped(Bytes(file.begin() + 54, file.begin() + 66)));
}

TEST_F(BmpAssetTest, OnlyTheLowByteOfTheBitCountMatters) {
  LoadKnown();
  EXPECT_FALSE(ReadBmpAsset(Write("32.bmp", Bmp(4, 1, 32, Ramp(16))).c_str(), Slot(5)));
  ExpectKnownUntouched();
  EXPECT_FALSE(ReadBmpAsset(Write("8.bmp", Bmp(4, 1, 8, Ramp(1024 + 4))).c_str(), Slot(5)));
  ExpectKnownUntouched();
  // 280 is 0x118: its low byte is 24.
  EXPECT_TRUE(ReadBmpAsset(Write("280.bmp", Bmp(4, 1, 280, Ramp(12, 7))).c_str(), Slot(5)));
  EXPECT_EQ(SlotBytes(Slot(5)), Swapped(Ramp(12, 7)));
}

TEST_F(BmpAssetTest, ShortOrForeignFilesLeaveTheSlotUntouched) {
  LoadKnown();
  Bytes header = Bmp(1, 1, 24, {});
  EXPECT_FALSE(
      ReadBmpAsset(Write("53.bmp", Bytes(header.begin(), header.end() - 1)).c_str(), Slot(5)));
  ExpectKnownUntouched();
  EXPECT_FALSE(ReadBmpAsset(Write("empty.bmp", {}).c_str(), Slot(5)));
  ExpectKnownUntouched();
  for (auto signature : {std::pair<char, char>{'B', 'A'}, {'M', 'B'}, {'b', 'm'}}) {
    Bytes file = Bmp(4, 1, 24, Ramp(12));
    file[0] = static_cast<std::uint8_t>(signature.first);
    file[1] = static_cast<std::uint8_t>(signature.second);
    EXPECT_FALSE(ReadBmpAsset(Write("sig.bmp", file).c_str(), Slot(5)));
    ExpectKnownUntouched();
  }
}

TEST_F(BmpAssetTest, FileCutShortInsidePixelsLeavesAnEmptySlot) {
  LoadKnown();
  EXPECT_FALSE(ReadBmpAsset(Write("cut.bmp", Bmp(4, 4, 24, Ramp(47))).c_str(), Slot(5)));
  // 0 x 0: no texture is ever made at a size only the header claimed.
  EXPECT_EQ(Slot(5).pixels, nullptr);
  EXPECT_EQ(Slot(5).width, 0);
  EXPECT_EQ(Slot(5).height, 0);
  EXPECT_EQ(Slot(5).bytesPerPixel, 3);
  // One byte more than needed is fine: the reader stops after the block.
  EXPECT_TRUE(ReadBmpAsset(Write("long.bmp", Bmp(4, 4, 24, Ramp(49))).c_str(), Slot(5)));
  EXPECT_EQ(SlotBytes(Slot(5)), Swapped(Ramp(48)));
}

TEST_F(BmpAssetTest, EachSlotOwnsItsArrayAndARereadReplacesIt) {
  std::string first = Write("first.bmp", Bmp(4, 2, 24, Ramp(24, 1)));
  std::string second = Write("second.bmp", Bmp(8, 1, 24, Ramp(24, 101)));
  ASSERT_TRUE(ReadBmpAsset(first.c_str(), Slot(130)));
  ASSERT_TRUE(ReadBmpAsset(first.c_str(), Slot(160)));
  EXPECT_NE(Slot(130).pixels, Slot(160).pixels);
  EXPECT_EQ(SlotBytes(Slot(130)), SlotBytes(Slot(160)));
  Slot(130).pixels[0] = 0;  // the copies are independent
  EXPECT_EQ(Slot(160).pixels[0], 3);

  ASSERT_TRUE(ReadBmpAsset(second.c_str(), Slot(160)));
  EXPECT_EQ(Slot(160).width, 8);
  EXPECT_EQ(Slot(160).height, 1);
  EXPECT_EQ(SlotBytes(Slot(160)), Swapped(Ramp(24, 101)));
  EXPECT_EQ(Slot(130).pixels[1], 2);
}

TEST_F(BmpAssetTest, SizesThatCannotBeHonouredFailWithoutArray) {
  struct Case {
    std::int32_t width, height;
  };
  const Case cases[] = {
      {-4, 2},
      {4, -2},
      {-4, -2},
      {0, 2},
      {4, 0},
      {65536, 10923},  // 2,147,549,184 bytes: just past 32-bit signed
      {40000, 40000},  // 4.8e9 bytes: wraps around in 32 bits
      {INT_MAX, INT_MAX},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    LoadKnown();
    EXPECT_FALSE(
        ReadBmpAsset(Write("odd.bmp", Bmp(c.width, c.height, 24, Ramp(96))).c_str(), Slot(5)));
    EXPECT_EQ(Slot(5).pixels, nullptr);
    EXPECT_EQ(Slot(5).width, 0);
    EXPECT_EQ(Slot(5).height, 0);
    EXPECT_EQ(Slot(5).bytesPerPixel, 3);
  }
}

TEST_F(BmpAssetTest, HeaderClaimingFarMoreThanTheFileHoldsFails) {
  // 1.8 GB claimed, 96 bytes present.
  EXPECT_FALSE(ReadBmpAsset(Write("liar.bmp", Bmp(30000, 20000, 24, Ramp(96))).c_str(), Slot(9)));
  EXPECT_EQ(Slot(9).pixels, nullptr);
  EXPECT_EQ(Slot(9).width, 0);
  EXPECT_EQ(Slot(9).height, 0);
}

TEST_F(BmpAssetTest, BlockLargerThanTheFirstChunkIsReadWhole) {
  // Far past the 1 MiB the reader reserves first, so the array has to grow several times.
  const std::int32_t width = 2048, height = 2800;  // 17,203,200 bytes
  Bytes data(std::size_t(width) * height * 3);
  for (std::size_t i = 0; i < data.size(); ++i)
    data[i] = static_cast<std::uint8_t>(i * 7 + i / 4093);
  ASSERT_TRUE(ReadBmpAsset(Write("big.bmp", Bmp(width, height, 24, data)).c_str(), Slot(3)));
  EXPECT_TRUE(SlotBytes(Slot(3)) == Swapped(data));
  // Cut one byte short of that size: nothing is kept.
  data.pop_back();
  EXPECT_FALSE(ReadBmpAsset(Write("big.bmp", Bmp(width, height, 24, data)).c_str(), Slot(3)));
  EXPECT_EQ(Slot(3).pixels, nullptr);
}

TEST_F(BmpAssetTest, MissingFileIsNeitherReadNorCreated) {
  LoadKnown();
  std::filesystem::path missing = dir_ / "bmp_cube" / "grass3.bmp";
  EXPECT_FALSE(ReadBmpAsset(missing.string().c_str(), Slot(5)));
  ExpectKnownUntouched();
  EXPECT_FALSE(std::filesystem::exists(missing.parent_path()));
  EXPECT_FALSE(ReadBmpAsset((dir_ / "absent.bmp").string().c_str(), Slot(5)));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "absent.bmp"));
  // A directory is not a picture either.
  std::filesystem::create_directory(dir_ / "folder.bmp");
  EXPECT_FALSE(ReadBmpAsset((dir_ / "folder.bmp").string().c_str(), Slot(5)));
  ExpectKnownUntouched();
}

TEST_F(BmpAssetTest, ReadOnlyFileIsReadAndLeftAsItWas) {
  std::string path = Write("ro.bmp", Bmp(4, 1, 24, Ramp(12)));
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  auto before = std::filesystem::last_write_time(path);
  EXPECT_TRUE(ReadBmpAsset(path.c_str(), Slot(11)));
  EXPECT_EQ(std::filesystem::last_write_time(path), before);
  EXPECT_EQ(ReadWhole(path), Bmp(4, 1, 24, Ramp(12)));
}

// ---- The corpora in tests/data: real files made by others ---------------------------------------

enum class Outcome { read, untouched, sizesOnly };

// What the reader must do with a file, worked out from its bytes alone.
Outcome Predict(const Bytes& file) {
  if (file.size() < 54 || file[0] != 'B' || file[1] != 'M' || file[28] != 24)
    return Outcome::untouched;
  auto le32 = [&file](std::size_t at) {
    return static_cast<std::int32_t>(std::uint32_t(file[at]) | std::uint32_t(file[at + 1]) << 8 |
                                     std::uint32_t(file[at + 2]) << 16 |
                                     std::uint32_t(file[at + 3]) << 24);
  };
  std::int64_t width = le32(18), height = le32(22);
  if (width <= 0 || height <= 0 || width * height > INT32_MAX / 3) return Outcome::sizesOnly;
  if (file.size() - 54 < std::uint64_t(width * height * 3)) return Outcome::sizesOnly;
  return Outcome::read;
}

TEST_F(BmpAssetTest, EveryCorpusFileGetsTheOutcomeItsHeaderPredicts) {
  namespace fs = std::filesystem;
  const fs::path root = TROVE_CORPORA_DIR;
  if (!fs::exists(root)) GTEST_SKIP() << "no corpora at " << root;
  std::map<std::string, std::map<Outcome, int>> counts;
  int files = 0;
  for (const char* group : {"bmpsuite", "go-fuzz-corpus/bmp"}) {
    for (const auto& entry : fs::recursive_directory_iterator(root / group)) {
      bool isBmpSuite = std::string(group) == "bmpsuite";
      if (!entry.is_regular_file() || (isBmpSuite && entry.path().extension() != ".bmp")) continue;
      SCOPED_TRACE(entry.path().string());
      Bytes file = ReadWhole(entry.path());
      Outcome expected = Predict(file);
      TextureSlot& slot = Slot(42);
      std::free(slot.pixels);
      slot = TextureSlot{nullptr, -7, -9, -1};
      bool result = ReadBmpAsset(entry.path().string().c_str(), Slot(42));
      ++files;
      ++counts[group][expected];
      EXPECT_EQ(result, expected == Outcome::read);
      if (expected == Outcome::untouched) {
        EXPECT_EQ(slot.pixels, nullptr);
        EXPECT_EQ(slot.width, -7);
        EXPECT_EQ(slot.height, -9);
        EXPECT_EQ(slot.bytesPerPixel, -1);
        continue;
      }
      EXPECT_EQ(slot.bytesPerPixel, 3);
      if (expected == Outcome::sizesOnly) {
        EXPECT_EQ(slot.pixels, nullptr);
        EXPECT_EQ(slot.width, 0);
        EXPECT_EQ(slot.height, 0);
      } else {
        EXPECT_EQ(slot.width, static_cast<std::int32_t>(file[18] | file[19] << 8 | file[20] << 16 |
                                                        std::uint32_t(file[21]) << 24));
        std::size_t n = std::size_t(slot.width) * slot.height * 3;
        EXPECT_EQ(SlotBytes(slot), Swapped(Bytes(file.begin() + 54, file.begin() + 54 + n)));
      }
    }
  }
  // The corpora's own description: 82 rejected on bits per pixel and one on its signature,
  // two whose data cannot be had, six that pass the checks.
  EXPECT_EQ(counts["bmpsuite"][Outcome::untouched], 83);
  EXPECT_EQ(counts["bmpsuite"][Outcome::sizesOnly], 2);
  EXPECT_EQ(counts["bmpsuite"][Outcome::read], 6);
  EXPECT_EQ(files, 91 + 33);
}

}  // namespace
