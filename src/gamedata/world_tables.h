// The game's world tables: reserved and filled at start-up, released at shutdown.
#pragma once

#include <cstddef>
#include <cstdint>

#include "display/display.h"
#include "gamedata/item_catalogue.h"
#include "gamedata/sizes.h"
#include "pictures/asset_catalogue.h"

// One agent of the game. Start-up writes only its position; the rest of the record is the
// agent's game state, which the browser never reads.
struct AgentRecord {
  float position[3];  // x, y, z
  std::uint8_t state[692];
};
static_assert(sizeof(AgentRecord) == 704, "AgentRecord must keep its 704-byte size");

// A record of the AuxTable; only its size is fixed.
struct AuxRecord {
  std::uint8_t data[40];
};
static_assert(sizeof(AuxRecord) == 40, "AuxRecord must keep its 40-byte size");

// One room: its rectangle in cells and three values of the game's own.
struct RoomRecord {
  std::uint16_t x;
  std::uint16_t y;
  std::uint16_t width;
  std::uint16_t height;
  std::uint16_t kind;
  std::int32_t link;
  std::uint8_t state;
};
static_assert(sizeof(RoomRecord) == 20, "RoomRecord must keep its 20-byte layout");

// A record of RoomExtra, one per room record; only its size is fixed.
struct RoomExtraRecord {
  std::uint8_t data[40];
};
static_assert(sizeof(RoomExtraRecord) == 40, "RoomExtraRecord must keep its 40-byte size");

// Records of the path planner's bucket list and cell links; only their sizes are fixed.
struct BucketRecord {
  std::uint8_t data[24];
};
struct CellLinkRecord {
  std::uint8_t data[20];
};

// A grid search over one level and the stored routes of the agents. Every array member is a
// block of its own, owned by the object; "per cell" blocks hold CellsPerLevel entries.
class PathPlanner {
 public:
  PathPlanner() = default;
  PathPlanner(const PathPlanner&) = delete;
  PathPlanner& operator=(const PathPlanner&) = delete;
  ~PathPlanner() { Release(); }

  // Reserves every buffer and sets the start values (routes empty, neighbour order 0); adds
  // the bytes reserved to reservedBytes.
  void Allocate(std::size_t& reservedBytes);
  // Stores direction (0..7) and writes the eight neighbour steps of that direction.
  void SetNeighbourOrder(int direction);
  // Releases every buffer, in member order; safe when some or none were reserved.
  void Release();

  std::int16_t* nodeX = nullptr;  // per cell: cell x of a search node
  std::int16_t* nodeY = nullptr;  // per cell: cell y of a search node
  std::int32_t nodeCount = 0;
  std::int32_t* nodeParent = nullptr;    // per cell: index of the node's parent node
  std::uint8_t* nodeState = nullptr;     // per cell
  float* nodeCost = nullptr;             // per cell: accumulated cost
  std::int32_t* cellNode = nullptr;      // per cell: node occupying a cell
  std::int32_t* routeTargetX = nullptr;  // per agent
  std::int32_t* routeTargetY = nullptr;  // per agent
  std::int32_t* routeX = nullptr;        // 1000 route points per agent
  std::int32_t* routeY = nullptr;        // 1000 route points per agent
  std::int32_t* routeLength = nullptr;   // per agent
  std::int32_t* routeCursor = nullptr;   // per agent; noRoute when the agent has no route
  std::int32_t* routeAux = nullptr;      // per agent
  std::int32_t startX = 0;
  std::int32_t startY = 0;
  std::int32_t goalX = 0;
  std::int32_t goalY = 0;
  std::int32_t windowX = 0;
  std::int32_t windowY = 0;
  std::int32_t windowSide = 0;
  std::int32_t* neighbourDx = nullptr;  // 8 cell steps in x
  std::int32_t* neighbourDy = nullptr;  // 8 cell steps in y
  float* neighbourWeight = nullptr;     // 8 step costs
  std::int32_t direction = 0;           // 0..7, chose the neighbour order
  std::uint8_t* windowMarks = nullptr;  // per cell: one byte per cell of the search window
  BucketRecord* bucketList = nullptr;   // bucketCount records
  CellLinkRecord* cellLinks = nullptr;  // per cell
  std::int32_t searchLevel = 0;
  std::int32_t openCount = 0;
  std::int32_t closedCount = 0;
  std::uint8_t found = 0;
  std::uint8_t failed = 0;
  std::uint8_t active = 0;

  static constexpr std::int32_t noRoute = -9;
  static constexpr std::int32_t routePointsPerAgent = 1000;
  static constexpr std::int32_t bucketCount = 1000;
};

constexpr int TileCodeCount = 256;
constexpr int TrigTableSize = 3600000;  // thousandths of a degree over ten full turns
constexpr int ConsoleLineSize = 256;
constexpr int ConsoleHistoryLines = 20;

// The game's tables, owned by one object: InitGameTables reserves and fills them, and
// ReleaseGameTables (or the end of the object) releases them.
struct World {
  World() = default;
  World(const World&) = delete;
  World& operator=(const World&) = delete;
  ~World();

  // (MapSide + 1)^2 heights, one per cell corner of a level; not cleared.
  std::uint8_t* HeightMap = nullptr;
  // LevelCount x CellsPerLevel tile codes; the byte of cell (x, y) of level l is at
  // l * CellsPerLevel + y * MapSide + x.
  std::uint8_t* TileMap = nullptr;
  // LevelCount x CellsPerLevel bytes addressed like TileMap.
  std::uint8_t* CellMarks = nullptr;
  AgentRecord* AgentTable = nullptr;  // AgentCount records
  AuxRecord* AuxTable = nullptr;      // AuxRecordCount records
  ItemRecord* ItemTable = nullptr;    // ItemSlotCount records, cleared when reserved
  PathPlanner* pathPlanner = nullptr;
  float TileCost[TileCodeCount] = {};  // cost of entering a tile, by tile code
  float TileAux[TileCodeCount] = {};
  std::int32_t* LevelRoomStart = nullptr;  // LevelCount + 1: first room record of a level
  std::int32_t* LevelRoomEnd = nullptr;    // LevelCount + 1: end of a level's room records
  std::uint8_t* RoomMask = nullptr;        // RoomMaskSide x RoomMaskSide
  RoomRecord* RoomTable = nullptr;         // RoomCapacity records
  RoomExtraRecord* RoomExtra = nullptr;    // RoomCapacity records
  float* SinTable = nullptr;               // TrigTableSize: sine per thousandth of a degree
  float* CosTable = nullptr;               // TrigTableSize: cosine per thousandth of a degree
  char ConsoleLine[ConsoleLineSize] = {};
  std::int32_t ConsoleLineLength = 0;
  char** ConsoleHistory = nullptr;  // ConsoleHistoryLines lines of ConsoleLineSize characters

  // Bytes of every block the tables hold now.
  std::size_t reservedBytes = 0;
};

// Sets the display's canvas size again, reserves and fills every table, reserves the texture
// slots and reads the asset catalogue into them; always 1. A table that cannot be obtained ends
// the program with a message naming it. The tile maps are sized for levels levels: LevelCount
// for the program, more than any machine holds to try that message.
std::int32_t InitGameTables(World& world, GameTextures& textures, Display& display,
                            std::int32_t levels = LevelCount);

// Fills TileCost and TileAux.
void InitTileCosts(World& world);

// Reserves LevelRoomStart, LevelRoomEnd, RoomMask, RoomTable and RoomExtra, clearing nothing.
void AllocRoomTables(World& world);

// Reserves and computes SinTable and CosTable, unless either already exists.
void BuildTrigTables(World& world);

// Empties the console line and reserves the history lines, each the empty string.
void InitConsoleBuffers(World& world);

// Bytes of all the blocks the tables hold (texture slots' pixels not counted).
std::size_t ReservedGameTableBytes(const World& world);

// Releases every table in the shutdown order; safe when nothing was reserved, and when
// called again.
void ReleaseGameTables(World& world, GameTextures& textures);
