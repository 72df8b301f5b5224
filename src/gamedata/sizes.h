// Sizing constants of the game's world tables.
#pragma once

#include <cstdint>

constexpr std::int32_t MapSide = 256;            // cells along each side of a level
constexpr std::int32_t LevelCount = 180;         // levels
constexpr std::int32_t TextureSlotCount = 3100;  // texture slots
constexpr std::int32_t AgentCount = 3000;        // agents
constexpr std::int32_t AuxRecordCount = 1000;
constexpr std::int32_t ItemSlotCount = 230000;  // item slots
constexpr std::int32_t RoomMaskSide = 30;
constexpr std::int32_t CellsPerLevel = MapSide * MapSide;
constexpr std::int32_t RoomCapacity = LevelCount * 6000;
