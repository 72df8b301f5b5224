// The game's world tables: their reservation and start-up contents, and their release.
#include "gamedata/world_tables.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "display/start_up_failure.h"
#include "gamedata/trig_tables.h"
#include "pictures/asset_catalogue.h"
#include "pictures/bmp_asset.h"

namespace {

std::size_t Count(std::int32_t value) { return value > 0 ? static_cast<std::size_t>(value) : 0; }

// A block whose contents start-up leaves alone. Plain malloc: its pages stay untouched, and so
// cost no memory, until the game writes them.
template <typename T>
T* Reserve(std::size_t& reservedBytes, std::size_t count, const char* name) {
  if (count > SIZE_MAX / sizeof(T)) FailStartUpBlock(name);
  void* block = std::malloc(std::max<std::size_t>(count * sizeof(T), 1));
  if (!block) FailStartUpBlock(name);
  reservedBytes += count * sizeof(T);
  return static_cast<T*>(block);
}

// A cleared block, obtained zero-filled from the system: pages that are never written are
// never made resident.
template <typename T>
T* ReserveCleared(std::size_t& reservedBytes, std::size_t count, const char* name) {
  void* block = std::calloc(std::max<std::size_t>(count, 1), sizeof(T));
  if (!block) FailStartUpBlock(name);
  reservedBytes += count * sizeof(T);
  return static_cast<T*>(block);
}

template <typename T>
void Release(T*& block) {
  std::free(block);
  block = nullptr;
}

}  // namespace

// --- Path planner ------------------------------------------------------------------------

void PathPlanner::Allocate(std::size_t& reservedBytes) {
  const std::size_t cells = Count(CellsPerLevel);
  const std::size_t agents = Count(AgentCount);
  nodeX = Reserve<std::int16_t>(reservedBytes, cells, "PathPlanner nodeX");
  nodeY = Reserve<std::int16_t>(reservedBytes, cells, "PathPlanner nodeY");
  nodeParent = Reserve<std::int32_t>(reservedBytes, cells, "PathPlanner nodeParent");
  nodeState = Reserve<std::uint8_t>(reservedBytes, cells, "PathPlanner nodeState");
  nodeCost = Reserve<float>(reservedBytes, cells, "PathPlanner nodeCost");
  windowMarks = Reserve<std::uint8_t>(reservedBytes, cells, "PathPlanner windowMarks");
  cellNode = Reserve<std::int32_t>(reservedBytes, cells, "PathPlanner cellNode");

  neighbourDx = Reserve<std::int32_t>(reservedBytes, 8, "PathPlanner neighbourDx");
  neighbourDy = Reserve<std::int32_t>(reservedBytes, 8, "PathPlanner neighbourDy");
  neighbourWeight = Reserve<float>(reservedBytes, 8, "PathPlanner neighbourWeight");

  routeTargetX = Reserve<std::int32_t>(reservedBytes, agents, "PathPlanner routeTargetX");
  routeTargetY = Reserve<std::int32_t>(reservedBytes, agents, "PathPlanner routeTargetY");
  // Far beyond what the counts allow on either build, so the product cannot overflow.
  const std::size_t routePoints = agents * static_cast<std::size_t>(routePointsPerAgent);
  routeX = Reserve<std::int32_t>(reservedBytes, routePoints, "PathPlanner routeX");
  routeY = Reserve<std::int32_t>(reservedBytes, routePoints, "PathPlanner routeY");
  routeLength = Reserve<std::int32_t>(reservedBytes, agents, "PathPlanner routeLength");
  routeCursor = Reserve<std::int32_t>(reservedBytes, agents, "PathPlanner routeCursor");
  routeAux = Reserve<std::int32_t>(reservedBytes, agents, "PathPlanner routeAux");
  for (std::size_t a = 0; a < agents; ++a) {
    routeCursor[a] = noRoute;
    routeAux[a] = 0;
  }

  bucketList = Reserve<BucketRecord>(reservedBytes, bucketCount, "PathPlanner bucketList");
  cellLinks = Reserve<CellLinkRecord>(reservedBytes, cells, "PathPlanner cellLinks");

  SetNeighbourOrder(0);
  active = 0;
}

void PathPlanner::SetNeighbourOrder(int newDirection) {
  direction = newDirection;
  // Clockwise from straight up. Diagonal steps cost exactly 1.4142f, not the float nearest the
  // square root of 2.
  static constexpr std::int32_t dx[8] = {0, 1, 1, 1, 0, -1, -1, -1};
  static constexpr std::int32_t dy[8] = {1, 1, 0, -1, -1, -1, 0, 1};
  for (int k = 0; k < 8; ++k) {
    const int step = (k + newDirection) & 7;
    neighbourDx[k] = dx[step];
    neighbourDy[k] = dy[step];
    neighbourWeight[k] = (dx[step] == 0 || dy[step] == 0) ? 1.0f : 1.4142f;
  }
}

void PathPlanner::Release() {
  ::Release(nodeX);
  ::Release(nodeY);
  ::Release(nodeParent);
  ::Release(nodeState);
  ::Release(nodeCost);
  ::Release(cellNode);
  ::Release(routeTargetX);
  ::Release(routeTargetY);
  ::Release(routeX);
  ::Release(routeY);
  ::Release(routeLength);
  ::Release(routeCursor);
  ::Release(routeAux);
  ::Release(neighbourDx);
  ::Release(neighbourDy);
  ::Release(neighbourWeight);
  ::Release(windowMarks);
  ::Release(bucketList);
  ::Release(cellLinks);
}

// --- Start-up ----------------------------------------------------------------------------

void InitTileCosts(World& world) {
  std::fill(world.TileCost, world.TileCost + TileCodeCount, 3.0f);
  struct Cost {
    int code;
    float cost;
  };
  static constexpr Cost costs[] = {
      {10, 30.0f},  {11, 332.0f}, {12, 18.0f}, {13, 42.0f},   {14, 16.0f},
      {15, 50.0f},  {16, 28.0f},  {17, 30.0f}, {18, 374.0f},  {19, 548.0f},
      {20, 208.0f}, {21, 15.0f},  {22, 1.0f},  {61, 3000.0f}, {82, 20.0f},
  };
  for (const Cost& c : costs) world.TileCost[c.code] = c.cost;
  // The settlements: codes 180 to 184.
  for (int code = 180; code <= 184; ++code) world.TileCost[code] = 180.0f;

  std::fill(world.TileAux, world.TileAux + 10, 0.0f);
  world.TileAux[11] = 200.0f;
  world.TileAux[12] = 300.0f;
}

void AllocRoomTables(World& world) {
  const std::size_t levels = Count(LevelCount) + 1;
  const std::size_t rooms = Count(RoomCapacity);
  world.LevelRoomStart = Reserve<std::int32_t>(world.reservedBytes, levels, "LevelRoomStart");
  world.LevelRoomEnd = Reserve<std::int32_t>(world.reservedBytes, levels, "LevelRoomEnd");
  world.RoomMask = Reserve<std::uint8_t>(world.reservedBytes,
                                         Count(RoomMaskSide) * Count(RoomMaskSide), "RoomMask");
  // Cleared by InitGameTables right after; obtaining it zero-filled is that clearing.
  world.RoomTable = ReserveCleared<RoomRecord>(world.reservedBytes, rooms, "RoomTable");
  world.RoomExtra = Reserve<RoomExtraRecord>(world.reservedBytes, rooms, "RoomExtra");
}

void BuildTrigTables(World& world) {
  if (world.SinTable || world.CosTable) return;
  world.SinTable = Reserve<float>(world.reservedBytes, TrigTableSize, "SinTable");
  world.CosTable = Reserve<float>(world.reservedBytes, TrigTableSize, "CosTable");
  static_assert(TrigTableSize % 1000 == 0, "the tables are filled in blocks of 1000 entries");
  FillTrigTables(world.SinTable, world.CosTable, TrigTableSize);
}

void InitConsoleBuffers(World& world) {
  world.ConsoleLineLength = 0;
  world.ConsoleLine[0] = '\0';
  world.ConsoleLine[1] = '\0';
  world.ConsoleHistory =
      ReserveCleared<char*>(world.reservedBytes, ConsoleHistoryLines, "ConsoleHistory");
  for (int line = 0; line < ConsoleHistoryLines; ++line) {
    world.ConsoleHistory[line] =
        Reserve<char>(world.reservedBytes, ConsoleLineSize, "ConsoleHistory");
    world.ConsoleHistory[line][0] = '\0';
  }
}

std::int32_t InitGameTables(World& world, GameTextures& textures, Display& display,
                            std::int32_t levels) {
  SetCanvasSize(display, display.displayState.canvasWidth, display.displayState.canvasHeight);
  // Start-up runs this once; should it run again, the earlier tables are not leaked.
  ReleaseGameTables(world, textures);

  const std::size_t cellCount = Count(levels) * Count(CellsPerLevel);
  world.HeightMap = Reserve<std::uint8_t>(world.reservedBytes,
                                          (Count(MapSide) + 1) * (Count(MapSide) + 1), "HeightMap");
  world.TileMap = ReserveCleared<std::uint8_t>(world.reservedBytes, cellCount, "TileMap");
  world.CellMarks = ReserveCleared<std::uint8_t>(world.reservedBytes, cellCount, "CellMarks");
  textures.TextureSlotTable =
      ReserveCleared<TextureSlot>(world.reservedBytes, Count(TextureSlotCount), "TextureSlotTable");
  textures.slotCount = TextureSlotCount;
  world.AgentTable =
      ReserveCleared<AgentRecord>(world.reservedBytes, Count(AgentCount), "AgentTable");
  world.AuxTable =
      ReserveCleared<AuxRecord>(world.reservedBytes, Count(AuxRecordCount), "AuxTable");
  world.ItemTable =
      ReserveCleared<ItemRecord>(world.reservedBytes, Count(ItemSlotCount), "ItemTable");

  world.pathPlanner = new (std::nothrow) PathPlanner;
  if (!world.pathPlanner) FailStartUpBlock("PathPlanner");
  world.reservedBytes += sizeof(PathPlanner);
  world.pathPlanner->Allocate(world.reservedBytes);

  LoadAssetCatalogue(textures.TextureSlotTable);
  InitTileCosts(world);
  // RoomTable arrives zero-filled, so every record is already clear.
  AllocRoomTables(world);
  BuildTrigTables(world);
  InitConsoleBuffers(world);
  InitItemTypes(world.ItemTable);
  CreateStartingItems(world.ItemTable);

  world.AgentTable[1].position[0] = 0.5f;
  world.AgentTable[1].position[1] = 0.5f;
  world.AgentTable[1].position[2] = 0.5f;
  world.TileMap[0] = 0;
  world.TileMap[1] = 1;
  world.TileMap[2] = 0;
  world.TileMap[3] = 1;
  return 1;
}

// --- Shutdown ----------------------------------------------------------------------------

namespace {

// Every block in the shutdown order; the texture slots too when given them, since the
// world's start-up reserved their table and counted it.
void ReleaseBlocks(World& world, GameTextures* textures) {
  Release(world.HeightMap);
  Release(world.TileMap);
  Release(world.CellMarks);
  if (textures) ReleaseTextureSlots(*textures);
  Release(world.AgentTable);
  Release(world.AuxTable);
  Release(world.ItemTable);
  delete world.pathPlanner;  // its buffers first, then the object
  world.pathPlanner = nullptr;
  Release(world.LevelRoomStart);
  Release(world.LevelRoomEnd);
  Release(world.RoomMask);
  Release(world.RoomTable);
  Release(world.RoomExtra);
  Release(world.SinTable);
  Release(world.CosTable);
  if (world.ConsoleHistory) {
    for (int line = 0; line < ConsoleHistoryLines; ++line) Release(world.ConsoleHistory[line]);
  }
  Release(world.ConsoleHistory);
  world.reservedBytes = 0;
}

}  // namespace

void ReleaseGameTables(World& world, GameTextures& textures) { ReleaseBlocks(world, &textures); }

World::~World() { ReleaseBlocks(*this, nullptr); }

std::size_t ReservedGameTableBytes(const World& world) { return world.reservedBytes; }
