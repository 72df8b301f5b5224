// The game's item-type catalogue: the item record, the 144 type records written at start-up
// and the copies that stand for individual items.
#pragma once

#include <cstddef>
#include <cstdint>

// One item type or one item. Every field is at most 32 bits wide and there are no pointers,
// so the layout (116 bytes, 4-byte aligned) is the same in the 32-bit Windows build and the
// 64-bit native build. The spare fields carry no value other than 0 at start-up; the two
// reserved stretches are never written here and are left out of copies.
struct ItemRecord {
  std::uint8_t spare0;
  std::uint8_t spare1;
  std::uint16_t image;  // texture slot of the item's picture
  std::int32_t typeId;  // the type's number, equal to the index of its type record
  std::uint8_t spare2;
  std::int16_t spare3;
  std::int16_t spare4;
  std::uint8_t spare5;
  std::uint8_t spare6;
  std::uint8_t flags[5];  // each 0 or 1
  std::uint8_t equipSlot;
  std::uint8_t spare7;
  std::uint8_t isWeapon;
  std::uint8_t basePower;
  std::uint8_t grade;  // 0 to 3
  float power;         // 0.0 in type records; basePower in copies
  std::uint8_t spare8[4];
  float factor;
  std::uint8_t spare9[5];
  std::uint8_t spare10[3];
  std::uint8_t spare11[5];
  std::uint8_t reservedA[17];
  std::int16_t spare12;
  std::uint16_t worth;
  std::int16_t spare13[4];
  std::uint8_t reservedB[34];
};

static_assert(sizeof(ItemRecord) == 116, "ItemRecord must keep its 116-byte layout");
static_assert(alignof(ItemRecord) == 4, "ItemRecord must keep its 4-byte alignment");
static_assert(offsetof(ItemRecord, image) == 2 && offsetof(ItemRecord, typeId) == 4 &&
                  offsetof(ItemRecord, spare3) == 10 && offsetof(ItemRecord, flags) == 16 &&
                  offsetof(ItemRecord, equipSlot) == 21 && offsetof(ItemRecord, grade) == 25 &&
                  offsetof(ItemRecord, power) == 28 && offsetof(ItemRecord, factor) == 36 &&
                  offsetof(ItemRecord, spare11) == 48 && offsetof(ItemRecord, reservedA) == 53 &&
                  offsetof(ItemRecord, spare12) == 70 && offsetof(ItemRecord, worth) == 72 &&
                  offsetof(ItemRecord, spare13) == 74 && offsetof(ItemRecord, reservedB) == 82,
              "ItemRecord fields must keep their offsets in every build");

// Writes the 144 type records into their slots of a cleared item table of ItemSlotCount
// records.
void InitItemTypes(ItemRecord* itemTable);

// Copies the type or item in slot source into slot destination (reserved stretches excluded),
// then gives the destination its power: basePower as a float. Both slots must lie in the table.
void CopyItemType(ItemRecord* itemTable, std::int32_t destination, std::int32_t source);

// Makes the five items every game starts with.
void CreateStartingItems(ItemRecord* itemTable);
