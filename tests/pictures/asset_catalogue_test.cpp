// The asset catalogue as data, read from a generated asset tree, and the cube texture upload.
#include "pictures/asset_catalogue.h"

#include <algorithm>
#include <map>
#include <set>

#include "../../tools/native/art/families.h"
#include "../../tools/native/asset_art.h"
#include "bmp_files.h"
#include "platform/platform.h"

namespace {

using namespace bmptest;

std::string Directory(const AssetEntry& e) {
  std::string dir, stem;
  EXPECT_TRUE(assetart::SplitAssetPath(e.path, &dir, &stem)) << e.path;
  return dir;
}

TEST(AssetCatalogueData, HoldsTwoHundredFourteenReadsInEightGroups) {
  std::set<std::string> paths;
  std::set<int> slots;
  for (const AssetEntry& e : AssetCatalogue) {
    paths.insert(e.path);
    EXPECT_TRUE(slots.insert(e.slot).second) << "slot " << e.slot << " read twice";
    EXPECT_GE(e.slot, 0);
    EXPECT_LT(e.slot, 3100);
  }
  EXPECT_EQ(paths.size(), 198u);
  EXPECT_EQ(slots.size(), 214u);

  // Each group reads from its own directory into its own slot ranges.
  struct Group {
    std::set<std::string> dirs;
    std::vector<std::pair<int, int>> ranges;
  };
  const Group groups[AssetGroupCount] = {
      {{"bmp_cross"}, {{1104, 1104}}},
      {{"bmp_unit"}, {{801, 983}}},
      {{"bmp_land"}, {{10, 24}, {180, 194}}},
      {{"bmp_dungeon"}, {{111, 167}}},
      {{"bmp_structure"}, {{390, 390}, {400, 408}}},
      {{"bmp_item"}, {{0, 0}, {600, 788}, {3000, 3001}}},
      {{"bmp_scr"}, {{1000, 1000}}},
      {{"bmp_cube", "bmp_unit"}, {{1200, 1206}, {1210, 1223}}},
  };
  int at = 0;
  for (int g = 0; g < AssetGroupCount; ++g) {
    for (int i = 0; i < AssetGroupSizes[g]; ++i, ++at) {
      const AssetEntry& e = AssetCatalogue[at];
      SCOPED_TRACE(e.path);
      EXPECT_TRUE(groups[g].dirs.count(Directory(e)));
      EXPECT_TRUE(std::any_of(groups[g].ranges.begin(), groups[g].ranges.end(),
                              [&e](auto r) { return e.slot >= r.first && e.slot <= r.second; }));
    }
  }
  EXPECT_EQ(at, AssetEntryCount);
  // Group 8 reads the seven cube pictures before its units.
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(AssetCatalogue[193 + i].slot, 1200 + i);
    EXPECT_EQ(Directory(AssetCatalogue[193 + i]), "bmp_cube");
  }
}

TEST(AssetCatalogueData, SixteenFilesAreReadIntoTwoSlots) {
  std::map<std::string, std::vector<int>> slotsOf;
  for (const AssetEntry& e : AssetCatalogue) slotsOf[e.path].push_back(e.slot);
  std::map<std::string, std::vector<int>> twice;
  for (const auto& [path, slots] : slotsOf)
    if (slots.size() > 1) twice[path] = slots;
  const std::map<std::string, std::vector<int>> expected = {
      {".\\bmp_dungeon\\source.bmp", {130, 160}},
      {".\\bmp_land\\forest_leaf.bmp", {21, 193}},
      {".\\bmp_unit\\unit_mage.bmp", {849, 981}},
      {".\\bmp_unit\\unit_green_slime.bmp", {802, 1210}},
      {".\\bmp_unit\\unit_nabos.bmp", {811, 1211}},
      {".\\bmp_unit\\unit_serpent.bmp", {805, 1212}},
      {".\\bmp_unit\\unit_giant_spider.bmp", {822, 1213}},
      {".\\bmp_unit\\unit_serpent_fire.bmp", {823, 1214}},
      {".\\bmp_unit\\unit_giant_worm.bmp", {831, 1215}},
      {".\\bmp_unit\\unit_floating_eye.bmp", {871, 1216}},
      {".\\bmp_unit\\unit_gelatinous_cube.bmp", {832, 1217}},
      {".\\bmp_unit\\unit_ogre.bmp", {876, 1218}},
      {".\\bmp_unit\\unit_mage_eye.bmp", {874, 1219}},
      {".\\bmp_unit\\unit_minotor.bmp", {870, 1220}},
      {".\\bmp_unit\\unit_mantis.bmp", {883, 1221}},
      {".\\bmp_unit\\unit_dragon_hydra.bmp", {904, 1222}},
  };
  EXPECT_EQ(twice, expected);
  EXPECT_EQ(slotsOf[".\\bmp_unit\\unit_pleidian.bmp"], std::vector<int>{1223});
}

TEST(AssetCatalogueData, KeepsTheFilesOwnSpellings) {
  std::map<int, std::string> bySlot;
  for (const AssetEntry& e : AssetCatalogue) bySlot[e.slot] = e.path;
  EXPECT_EQ(bySlot[1104], ".\\bmp_cross\\cross4.bmp");
  EXPECT_EQ(bySlot[1206], ".\\bmp_cube\\DSC3.bmp");
  EXPECT_EQ(bySlot[155], ".\\bmp_dungeon\\geer_mecanism.bmp");
  EXPECT_EQ(bySlot[842], ".\\bmp_unit\\unit_squeletton_zombi_wounded.bmp");
  EXPECT_EQ(bySlot[402], ".\\bmp_structure\\structure_quary.bmp");
  EXPECT_EQ(bySlot[1000], ".\\bmp_scr\\intro1.bmp");
  EXPECT_EQ(bySlot[0], ".\\bmp_item\\blank.bmp");
}

TEST(AssetFilePath, JoinsTheAssetFolderAndTheCataloguePathWithThePlatformsSeparator) {
  char path[40];
  ASSERT_TRUE(AssetFilePath("Z:\\dist", ".\\bmp_unit\\unit_dog.bmp", '\\', path, sizeof path));
  EXPECT_STREQ(path, "Z:\\dist\\bmp_unit\\unit_dog.bmp");
  ASSERT_TRUE(AssetFilePath("/usr/share/trove", ".\\bmp_cube\\DSC3.bmp", '/', path, sizeof path));
  EXPECT_STREQ(path, "/usr/share/trove/bmp_cube/DSC3.bmp");
  // "/a/b.bmp" takes 9 bytes with the terminator: 8 are refused, not cut.
  EXPECT_TRUE(AssetFilePath("/a", ".\\b.bmp", '/', path, 9));
  EXPECT_FALSE(AssetFilePath("/a", ".\\b.bmp", '/', path, 8));
}

// A generated asset tree in a scratch directory that is the program's asset folder.
class AssetTreeTest : public SlotTest {
 protected:
  void SetUp() override {
    SlotTest::SetUp();
    int written = 0;
    ASSERT_TRUE(assetart::WriteAssetTree(dir_, &written));
    ASSERT_EQ(written, 198);
    os().assetFolder = dir_.string();
  }
  int FilesInTree() {
    int n = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir_))
      n += e.is_regular_file();
    return n;
  }
};

TEST_F(AssetTreeTest, WithoutAnAssetFolderNothingIsRead) {
  os().assetFolder = "";
  LoadAssetCatalogue(textures.TextureSlotTable);
  for (const AssetEntry& e : AssetCatalogue) EXPECT_EQ(Slot(e.slot).pixels, nullptr) << e.path;
}

TEST_F(AssetTreeTest, FillsEveryCatalogueSlotAndNoOther) {
  LoadAssetCatalogue(textures.TextureSlotTable);
  std::map<int, const AssetEntry*> entryOf;
  for (const AssetEntry& e : AssetCatalogue) entryOf[e.slot] = &e;
  for (int s = 0; s < 3100; ++s) {
    const TextureSlot& slot = Slot(s);
    auto it = entryOf.find(s);
    if (it == entryOf.end()) {
      EXPECT_TRUE(!slot.pixels && !slot.width && !slot.height && !slot.bytesPerPixel)
          << "slot " << s;
      continue;
    }
    SCOPED_TRACE(it->second->path);
    ASSERT_NE(slot.pixels, nullptr);
    EXPECT_EQ(slot.bytesPerPixel, 3);
    EXPECT_EQ(slot.width % 4, 0);
    // The slot holds the drawn picture, bottom row first, as red, green, blue.
    std::string dir, stem;
    ASSERT_TRUE(assetart::SplitAssetPath(it->second->path, &dir, &stem));
    assetart::Layer img = assetart::DrawAsset(dir, stem);
    ASSERT_EQ(slot.width, img.w);
    ASSERT_EQ(slot.height, img.h);
    int mismatches = 0;
    for (int row = 0; row < img.h; ++row)
      for (int x = 0; x < img.w; ++x) {
        const std::uint8_t* p = slot.pixels + (std::size_t(row) * img.w + x) * 3;
        assetart::Rgb c = img.At(x, img.h - 1 - row);
        mismatches += p[0] != c.r || p[1] != c.g || p[2] != c.b;
      }
    EXPECT_EQ(mismatches, 0);
  }
  // Files read twice give each slot its own array.
  EXPECT_NE(Slot(130).pixels, Slot(160).pixels);
  EXPECT_NE(Slot(802).pixels, Slot(1210).pixels);
  // Reading created nothing.
  EXPECT_EQ(FilesInTree(), 198);
}

TEST_F(AssetTreeTest, PicturesAreDrawnNotFlatAndDistinct) {
  LoadAssetCatalogue(textures.TextureSlotTable);
  std::set<Bytes> seen;
  for (const AssetEntry& e : AssetCatalogue) {
    SCOPED_TRACE(e.path);
    Bytes px = SlotBytes(Slot(e.slot));
    std::set<std::uint32_t> colours;
    for (std::size_t i = 0; i + 2 < px.size(); i += 3)
      colours.insert(px[i] << 16 | px[i + 1] << 8 | px[i + 2]);
    // The cursor cross is drawn in a few plain colours; every other picture has many.
    EXPECT_GT(colours.size(), e.slot == 1104 ? 3u : 12u);
    seen.insert(px);
  }
  EXPECT_EQ(seen.size(), 198u);  // as many different pictures as files
  // The cube pictures are square powers of two.
  for (int s = 1200; s <= 1206; ++s) {
    EXPECT_EQ(Slot(s).width, Slot(s).height);
    EXPECT_EQ(Slot(s).width & (Slot(s).width - 1), 0);
  }
}

TEST_F(AssetTreeTest, UploadsTheSevenCubePicturesUnderNewNamesEachTime) {
  LoadAssetCatalogue(textures.TextureSlotTable);
  EXPECT_EQ(UploadCubeTextures(textures), 1);
  auto& uploads = os().uploads;
  ASSERT_EQ(uploads.size(), 7u);
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(uploads[i].name, textures.CubeTextureNames[i]);
    EXPECT_EQ(uploads[i].pixels, Slot(1200 + i).pixels);
    EXPECT_EQ(uploads[i].width, Slot(1200 + i).width);
    EXPECT_EQ(uploads[i].height, Slot(1200 + i).height);
  }
  std::set<unsigned> first(textures.CubeTextureNames, textures.CubeTextureNames + 32);
  EXPECT_EQ(first.size(), 32u);
  // A new GL context: the same pictures under newly generated names.
  EXPECT_EQ(UploadCubeTextures(textures), 1);
  ASSERT_EQ(uploads.size(), 14u);
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(uploads[7 + i].pixels, uploads[i].pixels);
    EXPECT_FALSE(first.count(uploads[7 + i].name));
  }
}

TEST_F(AssetTreeTest, MissingCubeDirectoryUploadsSevenEmptyTextures) {
  std::filesystem::remove_all(dir_ / "bmp_cube");
  LoadAssetCatalogue(textures.TextureSlotTable);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "bmp_cube"));
  EXPECT_EQ(FilesInTree(), 191);
  EXPECT_NE(Slot(1210).pixels, nullptr);  // the rest of the group still reads
  EXPECT_EQ(UploadCubeTextures(textures), 1);
  ASSERT_EQ(os().uploads.size(), 7u);
  for (const auto& u : os().uploads) {
    EXPECT_EQ(u.width, 0);
    EXPECT_EQ(u.height, 0);
    EXPECT_EQ(u.pixels, nullptr);
  }
}

TEST_F(AssetTreeTest, CubePicturesUploadWithTheirOwnSizesAndUnreadOnesEmpty) {
  // A cut-short file or one claiming 16384 x 16384 goes up as 0 x 0, never as a texture of the
  // claimed size without data; a non-square one keeps both its sizes.
  Write("bmp_cube/dirt1.bmp", Bmp(64, 64, 24, Ramp(100)));
  Write("bmp_cube/grass3.bmp", Bmp(16384, 16384, 24, {}));
  Write("bmp_cube/DSC3.bmp", Bmp(8, 4, 24, Ramp(96)));
  LoadAssetCatalogue(textures.TextureSlotTable);
  UploadCubeTextures(textures);
  ASSERT_EQ(os().uploads.size(), 7u);
  for (int i : {2, 3}) {
    EXPECT_EQ(os().uploads[i].width, 0) << i;
    EXPECT_EQ(os().uploads[i].height, 0) << i;
    EXPECT_EQ(os().uploads[i].pixels, nullptr) << i;
  }
  EXPECT_EQ(os().uploads[6].width, 8);
  EXPECT_EQ(os().uploads[6].height, 4);
  EXPECT_EQ(SlotBytes(Slot(1206)), Swapped(Ramp(96)));
}

TEST_F(AssetTreeTest, GeneratedFilesAreTheSameEveryTime) {
  char again[] = "/tmp/trove_assets_XXXXXX";
  ASSERT_NE(mkdtemp(again), nullptr);
  ASSERT_TRUE(assetart::WriteAssetTree(again));
  int compared = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir_)) {
    if (!e.is_regular_file()) continue;
    auto twin = std::filesystem::path(again) / std::filesystem::relative(e.path(), dir_);
    EXPECT_EQ(ReadWhole(e.path()), ReadWhole(twin)) << twin;
    ++compared;
  }
  std::filesystem::remove_all(again);
  EXPECT_EQ(compared, 198);
}

// Every generated file, in catalogue order, hashed as one stream (64-bit FNV-1a over each
// path and its bytes): the drawings may be reorganised freely, but any changed pixel shows.
TEST_F(AssetTreeTest, GeneratedFilesKeepTheirRecordedBytes) {
  std::uint64_t hash = 1469598103934665603ull;
  auto add = [&hash](const auto& bytes) {
    for (unsigned char b : bytes) hash = (hash ^ b) * 1099511628211ull;
  };
  std::set<std::string> done;
  for (const AssetEntry& e : AssetCatalogue) {
    std::string dir, stem;
    ASSERT_TRUE(assetart::SplitAssetPath(e.path, &dir, &stem));
    if (!done.insert(e.path).second) continue;
    add(std::string_view(e.path));
    add(ReadWhole(dir_ / dir / (stem + ".bmp")));
  }
  EXPECT_EQ(done.size(), 198u);
  EXPECT_EQ(hash, 0x2cf4e153bdacacefull);
}

// Every item of the catalogue finds its row among the item drawings, so none falls through to
// the empty sprite that a stem without one gets.
TEST(AssetArt, EveryCatalogueItemHasADrawingOfItsOwn) {
  auto drawn = [](const assetart::Layer& s) {
    for (int y = 0; y < s.h; ++y)
      for (int x = 0; x < s.w; ++x)
        if (s.Has(x, y)) return true;
    return false;
  };
  std::set<std::string> items;
  for (const AssetEntry& e : AssetCatalogue) {
    std::string dir, stem;
    ASSERT_TRUE(assetart::SplitAssetPath(e.path, &dir, &stem));
    if (dir != "bmp_item" || stem.rfind("item_", 0) != 0 || !items.insert(stem).second) continue;
    EXPECT_TRUE(drawn(assetart::DrawItemSprite(stem))) << stem;
  }
  EXPECT_EQ(items.size(), 50u);
  EXPECT_FALSE(drawn(assetart::DrawItemSprite("item_unknown")));
}

TEST(AssetTree, RefusesPathsThatLeaveTheOutputDirectory) {
  std::string dir, stem;
  EXPECT_TRUE(assetart::SplitAssetPath(".\\bmp_unit\\unit_dog.bmp", &dir, &stem));
  EXPECT_EQ(dir, "bmp_unit");
  EXPECT_EQ(stem, "unit_dog");
  for (const char* bad : {"..\\bmp_unit\\x.bmp", ".\\..\\x.bmp", ".\\bmp_unit\\..\\x.bmp",
                          ".\\bmp_unit\\a\\b.bmp", ".\\bmp_unit\\x.png", "/etc/x.bmp"})
    EXPECT_FALSE(assetart::SplitAssetPath(bad, &dir, &stem)) << bad;
}

}  // namespace
