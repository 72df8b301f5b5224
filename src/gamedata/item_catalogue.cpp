// The item-type catalogue: type records written field by field, and item copies.
#include "gamedata/item_catalogue.h"

#include <cstring>

namespace {

struct ItemTypeValues {
  std::int32_t typeId;
  std::uint16_t image;
  std::uint8_t flags[5];
  std::uint8_t equipSlot;
  std::uint8_t isWeapon;
  std::uint8_t basePower;
  std::uint8_t grade;
  float factor;
  std::uint16_t worth;
};

// Weapons, the bag and the potion, in ascending type order. Types 6319 and 6320 really do
// take images 655 and 654, in that order.
constexpr ItemTypeValues kWeaponAndGoodsTypes[] = {
    {6110, 600, {1, 0, 1, 1, 1}, 2, 1, 1, 0, 0.0f, 50},
    {6111, 601, {1, 1, 0, 0, 0}, 1, 1, 2, 0, 0.0f, 180},
    {6112, 602, {1, 0, 0, 0, 1}, 1, 1, 3, 0, 0.0f, 300},
    {6113, 603, {0, 1, 0, 0, 0}, 2, 1, 3, 1, 0.2f, 400},
    {6114, 604, {1, 0, 0, 0, 0}, 1, 1, 4, 0, 0.0f, 430},
    {6115, 605, {1, 0, 0, 0, 0}, 1, 1, 5, 0, 0.0f, 560},
    {6116, 606, {1, 1, 0, 0, 1}, 2, 1, 5, 1, 0.0f, 700},
    {6117, 607, {0, 1, 0, 0, 0}, 1, 1, 6, 0, 1.0f, 1000},
    {6118, 608, {0, 1, 0, 0, 1}, 1, 1, 6, 1, 2.8f, 2000},
    {6119, 609, {0, 1, 0, 0, 1}, 1, 1, 7, 0, 0.0f, 3000},
    {6120, 610, {1, 0, 0, 0, 0}, 1, 1, 6, 1, 0.0f, 700},
    {6121, 611, {0, 1, 0, 0, 1}, 2, 1, 8, 0, 0.0f, 2300},
    {6122, 612, {1, 0, 0, 0, 0}, 1, 1, 8, 1, 0.0f, 980},
    {6123, 613, {1, 0, 0, 0, 0}, 1, 1, 8, 2, 2.0f, 1300},
    {6124, 614, {1, 0, 0, 0, 1}, 1, 1, 8, 3, 4.0f, 2900},
    {6125, 615, {1, 0, 0, 0, 1}, 1, 1, 9, 0, 1.5f, 5000},
    {6126, 616, {1, 0, 0, 0, 1}, 1, 1, 9, 2, 3.3f, 10000},
    {6127, 617, {1, 0, 0, 0, 0}, 1, 1, 10, 0, 0.0f, 1200},
    {6128, 618, {1, 0, 0, 0, 1}, 1, 1, 11, 0, 0.0f, 6000},
    {6129, 619, {1, 0, 0, 0, 1}, 1, 1, 12, 0, 3.2f, 28000},
    {6200, 630, {0, 1, 0, 0, 0}, 1, 1, 3, 0, 0.0f, 300},
    {6201, 631, {0, 1, 0, 0, 0}, 1, 1, 5, 1, 0.0f, 600},
    {6202, 632, {0, 1, 0, 0, 0}, 1, 1, 8, 0, 0.0f, 3000},
    {6203, 633, {0, 1, 0, 0, 0}, 1, 1, 8, 0, 0.0f, 3000},
    {6316, 650, {0, 0, 0, 1, 0}, 2, 1, 2, 0, 0.0f, 180},
    {6317, 651, {0, 0, 0, 1, 0}, 1, 1, 3, 0, 0.0f, 380},
    {6318, 652, {0, 0, 0, 1, 0}, 1, 1, 8, 0, 0.0f, 4000},
    {6319, 655, {0, 0, 0, 1, 0}, 1, 1, 12, 0, 2.8f, 32000},
    {6320, 654, {0, 0, 0, 1, 0}, 1, 1, 14, 0, 4.0f, 60000},
    {7000, 3000, {0, 0, 0, 0, 0}, 0, 0, 0, 0, 0.0f, 30},
    {7100, 682, {0, 0, 0, 0, 0}, 0, 0, 200, 0, 0.0f, 50},
};

// The eight armour sets: 14 consecutive types each, one per equipment slot 10 to 23. The
// factor climbs by 0.1 per set, except that the last set jumps from 0.7 to 0.9.
struct ArmourSet {
  std::int32_t firstType;
  std::uint16_t image;
  float factor;
  std::uint16_t worth;
};

constexpr ArmourSet kArmourSets[] = {
    {8100, 730, 0.1f, 30},  {8130, 740, 0.2f, 70},  {8170, 741, 0.3f, 120}, {8200, 742, 0.4f, 160},
    {8220, 743, 0.5f, 210}, {8250, 744, 0.6f, 280}, {8280, 745, 0.7f, 350}, {8320, 746, 0.9f, 600},
};

constexpr int kPiecesPerArmourSet = 14;
constexpr int kFirstArmourSlot = 10;

// Writes every field of a type record except power and the reserved stretches, which keep
// what the clearing of the table left there.
void WriteType(ItemRecord* itemTable, const ItemTypeValues& values) {
  ItemRecord& r = itemTable[values.typeId];
  r.spare0 = 0;
  r.spare1 = 0;
  r.image = values.image;
  r.typeId = values.typeId;
  r.spare2 = 0;
  r.spare3 = 0;
  r.spare4 = 0;
  r.spare5 = 0;
  r.spare6 = 0;
  std::memcpy(r.flags, values.flags, sizeof r.flags);
  r.equipSlot = values.equipSlot;
  r.spare7 = 0;
  r.isWeapon = values.isWeapon;
  r.basePower = values.basePower;
  r.grade = values.grade;
  std::memset(r.spare8, 0, sizeof r.spare8);
  r.factor = values.factor;
  std::memset(r.spare9, 0, sizeof r.spare9);
  std::memset(r.spare10, 0, sizeof r.spare10);
  std::memset(r.spare11, 0, sizeof r.spare11);
  r.spare12 = 0;
  r.worth = values.worth;
  std::memset(r.spare13, 0, sizeof r.spare13);
}

}  // namespace

void InitItemTypes(ItemRecord* itemTable) {
  // Type 0, the empty type: every field 0, so its picture is the blank one in slot 0.
  WriteType(itemTable, ItemTypeValues{});
  for (const ItemTypeValues& values : kWeaponAndGoodsTypes) WriteType(itemTable, values);
  for (const ArmourSet& set : kArmourSets) {
    for (int piece = 0; piece < kPiecesPerArmourSet; ++piece) {
      ItemTypeValues values{};
      values.typeId = set.firstType + piece;
      values.image = set.image;
      std::memset(values.flags, 1, sizeof values.flags);
      values.equipSlot = static_cast<std::uint8_t>(kFirstArmourSlot + piece);
      values.factor = set.factor;
      values.worth = set.worth;
      WriteType(itemTable, values);
    }
  }
}

void CopyItemType(ItemRecord* itemTable, std::int32_t destination, std::int32_t source) {
  ItemRecord& to = itemTable[destination];
  const ItemRecord& from = itemTable[source];
  if (&to != &from) {
    // The copied set is the record without its two reserved stretches.
    const auto* src = reinterpret_cast<const unsigned char*>(&from);
    auto* dst = reinterpret_cast<unsigned char*>(&to);
    constexpr std::size_t headEnd = offsetof(ItemRecord, reservedA);
    constexpr std::size_t middleStart = offsetof(ItemRecord, spare12);
    constexpr std::size_t middleEnd = offsetof(ItemRecord, reservedB);
    std::memcpy(dst, src, headEnd);
    std::memcpy(dst + middleStart, src + middleStart, middleEnd - middleStart);
  }
  to.power = static_cast<float>(to.basePower);
}

void CreateStartingItems(ItemRecord* itemTable) {
  CopyItemType(itemTable, 10000, 6110);
  CopyItemType(itemTable, 9000, 6110);
  CopyItemType(itemTable, 9001, 6111);
  CopyItemType(itemTable, 9002, 6200);
  CopyItemType(itemTable, 9003, 6316);
}
