// Sizing constants of the game's world tables.
#pragma once

#include <cstdint>

extern std::int32_t MapSide;           // 256 cells along each side of a level
extern std::int32_t LevelCount;        // 180 levels
extern std::int32_t TextureSlotCount;  // 3100 texture slots
extern std::int32_t AgentCount;        // 3000 agents
extern std::int32_t AuxRecordCount;    // 1000
extern std::int32_t ItemSlotCount;     // 230000 item slots
extern std::int32_t RoomMaskSide;      // 30
extern std::int32_t CellsPerLevel;     // MapSide x MapSide, computed before the program starts
extern std::int32_t RoomCapacity;      // LevelCount x 6000, computed before the program starts
