// Sizing constants and the two sizes derived from them at static initialisation.
#include "gamedata/sizes.h"

std::int32_t MapSide = 256;
std::int32_t LevelCount = 180;
std::int32_t TextureSlotCount = 3100;
std::int32_t AgentCount = 3000;
std::int32_t AuxRecordCount = 1000;
std::int32_t ItemSlotCount = 230000;
std::int32_t RoomMaskSide = 30;
// Dynamic initialisation, in this order, before WinMain.
std::int32_t CellsPerLevel = MapSide * MapSide;
std::int32_t RoomCapacity = LevelCount * 6000;
