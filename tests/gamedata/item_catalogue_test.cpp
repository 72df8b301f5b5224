// The item-type catalogue: type records, the armour rule, copies and untouched slots.
#include "gamedata/item_catalogue.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "gamedata/sizes.h"

namespace {

bool AllZero(const void* block, std::size_t bytes) {
  const auto* p = static_cast<const unsigned char*>(block);
  for (std::size_t i = 0; i < bytes; ++i) {
    if (p[i] != 0) return false;
  }
  return true;
}

bool SameBytes(const ItemRecord& a, const ItemRecord& b) {
  return std::memcmp(&a, &b, sizeof(ItemRecord)) == 0;
}

// A cleared item table of its own, as start-up reserves it.
class ItemCatalogueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    itemTable = static_cast<ItemRecord*>(std::calloc(ItemSlotCount, sizeof(ItemRecord)));
    ASSERT_NE(itemTable, nullptr);
  }
  void TearDown() override { std::free(itemTable); }

  ItemRecord* itemTable = nullptr;

  void Build() {
    InitItemTypes(itemTable);
    CreateStartingItems(itemTable);
  }

  struct Expected {
    int type;
    int image;
    std::uint8_t flags[5];
    int equipSlot;
    int isWeapon;
    int basePower;
    int grade;
    float factor;
    int worth;
  };

  void ExpectType(const Expected& e) {
    SCOPED_TRACE(e.type);
    const ItemRecord& r = itemTable[e.type];
    EXPECT_EQ(r.typeId, e.type);
    EXPECT_EQ(r.image, e.image);
    EXPECT_EQ(std::memcmp(r.flags, e.flags, 5), 0);
    EXPECT_EQ(r.equipSlot, e.equipSlot);
    EXPECT_EQ(r.isWeapon, e.isWeapon);
    EXPECT_EQ(r.basePower, e.basePower);
    EXPECT_EQ(r.grade, e.grade);
    EXPECT_EQ(r.factor, e.factor);
    EXPECT_EQ(r.worth, e.worth);
    EXPECT_EQ(r.power, 0.0f);
  }
};

TEST_F(ItemCatalogueTest, WeaponBagAndPotionTypes) {
  Build();
  ExpectType({6110, 600, {1, 0, 1, 1, 1}, 2, 1, 1, 0, 0.0f, 50});
  ExpectType({6111, 601, {1, 1, 0, 0, 0}, 1, 1, 2, 0, 0.0f, 180});
  ExpectType({6113, 603, {0, 1, 0, 0, 0}, 2, 1, 3, 1, 0.2f, 400});
  ExpectType({6118, 608, {0, 1, 0, 0, 1}, 1, 1, 6, 1, 2.8f, 2000});
  ExpectType({6124, 614, {1, 0, 0, 0, 1}, 1, 1, 8, 3, 4.0f, 2900});
  ExpectType({6126, 616, {1, 0, 0, 0, 1}, 1, 1, 9, 2, 3.3f, 10000});
  ExpectType({6129, 619, {1, 0, 0, 0, 1}, 1, 1, 12, 0, 3.2f, 28000});
  ExpectType({6200, 630, {0, 1, 0, 0, 0}, 1, 1, 3, 0, 0.0f, 300});
  ExpectType({6203, 633, {0, 1, 0, 0, 0}, 1, 1, 8, 0, 0.0f, 3000});
  ExpectType({6316, 650, {0, 0, 0, 1, 0}, 2, 1, 2, 0, 0.0f, 180});
  // The last two axes take their pictures crosswise.
  ExpectType({6319, 655, {0, 0, 0, 1, 0}, 1, 1, 12, 0, 2.8f, 32000});
  ExpectType({6320, 654, {0, 0, 0, 1, 0}, 1, 1, 14, 0, 4.0f, 60000});
  ExpectType({7000, 3000, {0, 0, 0, 0, 0}, 0, 0, 0, 0, 0.0f, 30});
  ExpectType({7100, 682, {0, 0, 0, 0, 0}, 0, 0, 200, 0, 0.0f, 50});
}

TEST_F(ItemCatalogueTest, ArmourSetsFollowTheirRule) {
  Build();
  const struct {
    int first, image;
    float factor;
    int worth;
  } sets[] = {{8100, 730, 0.1f, 30},  {8130, 740, 0.2f, 70},  {8170, 741, 0.3f, 120},
              {8200, 742, 0.4f, 160}, {8220, 743, 0.5f, 210}, {8250, 744, 0.6f, 280},
              {8280, 745, 0.7f, 350}, {8320, 746, 0.9f, 600}};
  for (const auto& set : sets) {
    ExpectType({set.first, set.image, {1, 1, 1, 1, 1}, 10, 0, 0, 0, set.factor, set.worth});
    ExpectType({set.first + 13, set.image, {1, 1, 1, 1, 1}, 23, 0, 0, 0, set.factor, set.worth});
    EXPECT_EQ(itemTable[set.first + 6].equipSlot, 16);
    // The slot after each set is no type.
    EXPECT_TRUE(AllZero(&itemTable[set.first + 14], sizeof(ItemRecord))) << set.first + 14;
  }
}

TEST_F(ItemCatalogueTest, OnlyTypeAndStartingItemSlotsAreWritten) {
  Build();
  std::vector<bool> written(ItemSlotCount, false);
  auto mark = [&](int first, int last) {
    for (int slot = first; slot <= last; ++slot) written[slot] = true;
  };
  mark(6110, 6129);
  mark(6200, 6203);
  mark(6316, 6320);
  mark(7000, 7000);
  mark(7100, 7100);
  for (int first : {8100, 8130, 8170, 8200, 8220, 8250, 8280, 8320}) mark(first, first + 13);
  mark(9000, 9003);
  mark(10000, 10000);
  int typeRecords = 0;
  for (int slot = 0; slot < ItemSlotCount; ++slot) {
    const bool zero = AllZero(&itemTable[slot], sizeof(ItemRecord));
    ASSERT_EQ(zero, !written[slot]) << "slot " << slot;
    if (!zero && slot < 9000) ++typeRecords;
  }
  // With the empty type 0, which is all zero, that makes 144 types.
  EXPECT_EQ(typeRecords + 1, 144);
}

TEST_F(ItemCatalogueTest, TypesLeavePowerAndReservedStretchesAlone) {
  // Whatever the table held before, every other field of a type record is written.
  std::memset(itemTable, 0xA5, std::size_t(ItemSlotCount) * sizeof(ItemRecord));
  InitItemTypes(itemTable);
  for (int type : {0, 6110, 6320, 7100, 8333}) {
    SCOPED_TRACE(type);
    ItemRecord r = itemTable[type];
    unsigned char pattern[34];
    std::memset(pattern, 0xA5, sizeof pattern);
    EXPECT_EQ(std::memcmp(r.reservedA, pattern, sizeof r.reservedA), 0);
    EXPECT_EQ(std::memcmp(r.reservedB, pattern, sizeof r.reservedB), 0);
    EXPECT_EQ(std::memcmp(&r.power, pattern, sizeof r.power), 0);
    EXPECT_EQ(r.spare0 | r.spare1 | r.spare2 | r.spare5 | r.spare6 | r.spare7, 0);
    EXPECT_EQ(r.spare3 | r.spare4 | r.spare12, 0);
    EXPECT_TRUE(AllZero(r.spare8, sizeof r.spare8));
    EXPECT_TRUE(AllZero(r.spare9, sizeof r.spare9));
    EXPECT_TRUE(AllZero(r.spare10, sizeof r.spare10));
    EXPECT_TRUE(AllZero(r.spare11, sizeof r.spare11));
    EXPECT_TRUE(AllZero(r.spare13, sizeof r.spare13));
  }
  // The empty type writes zeros everywhere it writes at all.
  EXPECT_EQ(itemTable[0].typeId, 0);
  EXPECT_EQ(itemTable[0].image, 0);
  EXPECT_EQ(itemTable[0].worth, 0);
}

TEST_F(ItemCatalogueTest, StartingItemsAreCopiesWithTheirPower) {
  Build();
  const struct {
    int slot, type;
    float power;
  } items[] = {{10000, 6110, 1.0f},
               {9000, 6110, 1.0f},
               {9001, 6111, 2.0f},
               {9002, 6200, 3.0f},
               {9003, 6316, 2.0f}};
  for (const auto& item : items) {
    SCOPED_TRACE(item.slot);
    ItemRecord copy = itemTable[item.slot];
    EXPECT_EQ(copy.typeId, item.type);
    EXPECT_EQ(copy.power, item.power);
    copy.power = 0.0f;
    EXPECT_TRUE(SameBytes(copy, itemTable[item.type]));
  }
}

TEST_F(ItemCatalogueTest, CopyKeepsTheDestinationsReservedStretches) {
  Build();
  ItemRecord& destination = itemTable[20000];
  std::memset(destination.reservedA, 7, sizeof destination.reservedA);
  std::memset(destination.reservedB, 9, sizeof destination.reservedB);
  std::memset(itemTable[6129].reservedA, 3, sizeof itemTable[6129].reservedA);
  CopyItemType(itemTable, 20000, 6129);
  EXPECT_EQ(destination.typeId, 6129);
  EXPECT_EQ(destination.worth, 28000);
  EXPECT_EQ(destination.factor, 3.2f);
  EXPECT_EQ(destination.power, 12.0f);
  for (std::uint8_t b : destination.reservedA) EXPECT_EQ(b, 7);
  for (std::uint8_t b : destination.reservedB) EXPECT_EQ(b, 9);

  // A copy of a copy carries the copied power, then takes its own from basePower again.
  itemTable[9001].basePower = 40;
  CopyItemType(itemTable, 20001, 9001);
  EXPECT_EQ(itemTable[20001].typeId, 6111);
  EXPECT_EQ(itemTable[20001].power, 40.0f);
}

TEST_F(ItemCatalogueTest, CopyOntoItselfOnlySetsPower) {
  Build();
  itemTable[7100].reservedA[0] = 5;
  ItemRecord before = itemTable[7100];
  CopyItemType(itemTable, 7100, 7100);
  EXPECT_EQ(itemTable[7100].power, 200.0f);
  before.power = 200.0f;
  EXPECT_TRUE(SameBytes(before, itemTable[7100]));
}

}  // namespace
