// The world tables after start-up, the trigonometric tables, and reservation and release.
#include "gamedata/world_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "display/display.h"
#include "pictures/bmp_asset.h"
#include "backends/headless/headless.h"
#include "support/program_fixture.h"

namespace {

bool AllZero(const void* block, std::size_t bytes) {
  const auto* p = static_cast<const unsigned char*>(block);
  return std::all_of(p, p + bytes, [](unsigned char b) { return b == 0; });
}

// The tables are built once for the whole suite; the tests only read them.
class BuiltTablesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    headless::Reset();
    // A canvas size chosen but no images yet: InitGameTables makes them for that size.
    display = new Display;
    display->displayState.canvasWidth = 960;
    display->displayState.canvasHeight = 540;
    built = new World;
    textures = new GameTextures;
    ASSERT_EQ(InitGameTables(*built, *textures, *display), 1);
  }
  static void TearDownTestSuite() {
    ReleaseGameTables(*built, *textures);
    delete built;
    delete textures;
    delete display;
  }

  static World* built;
  static GameTextures* textures;
  static Display* display;
  const World& world = *built;
};

World* BuiltTablesTest::built = nullptr;
GameTextures* BuiltTablesTest::textures = nullptr;
Display* BuiltTablesTest::display = nullptr;

TEST_F(BuiltTablesTest, TileMapHoldsOnlyTheFourStartCells) {
  const std::size_t cells = std::size_t(LevelCount) * std::size_t(CellsPerLevel);
  EXPECT_EQ(world.TileMap[0], 0);
  EXPECT_EQ(world.TileMap[1], 1);
  EXPECT_EQ(world.TileMap[2], 0);
  EXPECT_EQ(world.TileMap[3], 1);
  EXPECT_TRUE(AllZero(world.TileMap + 4, cells - 4));
  EXPECT_TRUE(AllZero(world.CellMarks, cells));
}

TEST_F(BuiltTablesTest, ClearedTablesAreZeroExceptAgentOnesPosition) {
  EXPECT_TRUE(AllZero(world.AuxTable, std::size_t(AuxRecordCount) * sizeof(AuxRecord)));
  EXPECT_TRUE(AllZero(world.RoomTable, std::size_t(RoomCapacity) * sizeof(RoomRecord)));
  EXPECT_TRUE(
      AllZero(textures->TextureSlotTable, std::size_t(TextureSlotCount) * sizeof(TextureSlot)));

  EXPECT_EQ(world.AgentTable[1].position[0], 0.5f);
  EXPECT_EQ(world.AgentTable[1].position[1], 0.5f);
  EXPECT_EQ(world.AgentTable[1].position[2], 0.5f);
  EXPECT_TRUE(AllZero(world.AgentTable[1].state, sizeof world.AgentTable[1].state));
  EXPECT_TRUE(AllZero(&world.AgentTable[0], sizeof(AgentRecord)));
  EXPECT_TRUE(AllZero(&world.AgentTable[2], std::size_t(AgentCount - 2) * sizeof(AgentRecord)));
}

TEST_F(BuiltTablesTest, EveryTableIsReservedWithTheSizesDerivedAtLoad) {
  for (const void* table :
       {static_cast<const void*>(world.HeightMap), static_cast<const void*>(world.LevelRoomStart),
        static_cast<const void*>(world.LevelRoomEnd), static_cast<const void*>(world.RoomMask),
        static_cast<const void*>(world.RoomExtra), static_cast<const void*>(world.ItemTable)}) {
    EXPECT_NE(table, nullptr);
  }
  // About 173 million bytes in all; the texture slot table's records hold a pointer, so the
  // exact sum depends on the build by a few kilobytes.
  EXPECT_GT(ReservedGameTableBytes(world), 172700000u);
  EXPECT_LT(ReservedGameTableBytes(world), 172800000u);
  // Start-up re-applies the canvas size before reserving anything.
  EXPECT_EQ(display->displayState.canvasWidth, 960);
  EXPECT_NE(display->canvas.frameBuffer, nullptr);
}

TEST_F(BuiltTablesTest, TileCostsAndAuxiliaryValues) {
  EXPECT_EQ(world.TileCost[0], 3.0f);
  EXPECT_EQ(world.TileCost[10], 30.0f);
  EXPECT_EQ(world.TileCost[11], 332.0f);
  EXPECT_EQ(world.TileCost[19], 548.0f);
  EXPECT_EQ(world.TileCost[22], 1.0f);
  EXPECT_EQ(world.TileCost[23], 3.0f);
  EXPECT_EQ(world.TileCost[60], 3.0f);
  EXPECT_EQ(world.TileCost[61], 3000.0f);
  EXPECT_EQ(world.TileCost[82], 20.0f);
  EXPECT_EQ(world.TileCost[179], 3.0f);
  EXPECT_EQ(world.TileCost[180], 180.0f);
  EXPECT_EQ(world.TileCost[182], 180.0f);
  EXPECT_EQ(world.TileCost[184], 180.0f);
  EXPECT_EQ(world.TileCost[185], 3.0f);
  EXPECT_EQ(world.TileCost[255], 3.0f);
  int nonDefault = 0;
  for (float cost : world.TileCost) nonDefault += cost != 3.0f;
  EXPECT_EQ(nonDefault, 20);

  EXPECT_EQ(world.TileAux[10], 0.0f);
  EXPECT_EQ(world.TileAux[11], 200.0f);
  EXPECT_EQ(world.TileAux[12], 300.0f);
  for (int code = 0; code < TileCodeCount; ++code) {
    if (code != 11 && code != 12) {
      EXPECT_EQ(world.TileAux[code], 0.0f) << code;
    }
  }
}

TEST_F(BuiltTablesTest, TrigTablesAtKnownAngles) {
  EXPECT_EQ(world.SinTable[0], 0.0f);
  EXPECT_EQ(world.CosTable[0], 1.0f);
  EXPECT_EQ(world.SinTable[30000], 0.5f);
  EXPECT_EQ(world.SinTable[90000], 1.0f);
  EXPECT_EQ(world.CosTable[180000], -1.0f);
  // Pi is taken to nine decimals, so the zeros of sine and cosine are slightly off.
  EXPECT_NEAR(world.SinTable[180000], 5.9e-10f, 0.05e-10f);
  EXPECT_NEAR(world.CosTable[90000], 2.9e-10f, 0.05e-10f);
  EXPECT_EQ(world.SinTable[3599999],
            static_cast<float>(std::sin(3599999.0 * 0.017453292516666667 / 1000)));
}

// Each entry is the float nearest the library's double result for the entry's angle, bit for
// bit, over the whole table.
TEST_F(BuiltTablesTest, TrigTablesMatchTheLibraryBitForBit) {
  int sineMismatches = 0;
  int cosineMismatches = 0;
  int firstMismatch = -1;
  for (int i = 0; i < TrigTableSize; ++i) {
    const float counter = static_cast<float>(i);
    const double angle = static_cast<double>(counter) * 0.017453292516666667 / 1000;
    const float sine = static_cast<float>(std::sin(angle));
    const float cosine = static_cast<float>(std::cos(angle));
    if (std::bit_cast<std::uint32_t>(world.SinTable[i]) != std::bit_cast<std::uint32_t>(sine)) {
      ++sineMismatches;
      if (firstMismatch < 0) firstMismatch = i;
    }
    if (std::bit_cast<std::uint32_t>(world.CosTable[i]) != std::bit_cast<std::uint32_t>(cosine)) {
      ++cosineMismatches;
      if (firstMismatch < 0) firstMismatch = i;
    }
  }
  EXPECT_EQ(sineMismatches, 0) << "first mismatch at " << firstMismatch;
  EXPECT_EQ(cosineMismatches, 0) << "first mismatch at " << firstMismatch;
}

TEST_F(BuiltTablesTest, PathPlannerStartsWithNoRoutes) {
  ASSERT_NE(world.pathPlanner, nullptr);
  const PathPlanner& p = *world.pathPlanner;
  EXPECT_EQ(p.direction, 0);
  EXPECT_EQ(p.active, 0);
  const std::int32_t dx[8] = {0, 1, 1, 1, 0, -1, -1, -1};
  const std::int32_t dy[8] = {1, 1, 0, -1, -1, -1, 0, 1};
  for (int k = 0; k < 8; ++k) {
    EXPECT_EQ(p.neighbourDx[k], dx[k]) << k;
    EXPECT_EQ(p.neighbourDy[k], dy[k]) << k;
    EXPECT_EQ(p.neighbourWeight[k], k % 2 == 0 ? 1.0f : 1.4142f) << k;
  }
  for (int a = 0; a < AgentCount; ++a) {
    ASSERT_EQ(p.routeCursor[a], -9) << a;
    ASSERT_EQ(p.routeAux[a], 0) << a;
  }
  for (const void* buffer :
       {static_cast<const void*>(p.nodeX), static_cast<const void*>(p.nodeY),
        static_cast<const void*>(p.nodeParent), static_cast<const void*>(p.nodeState),
        static_cast<const void*>(p.nodeCost), static_cast<const void*>(p.cellNode),
        static_cast<const void*>(p.routeTargetX), static_cast<const void*>(p.routeTargetY),
        static_cast<const void*>(p.routeX), static_cast<const void*>(p.routeY),
        static_cast<const void*>(p.routeLength), static_cast<const void*>(p.windowMarks),
        static_cast<const void*>(p.bucketList), static_cast<const void*>(p.cellLinks)}) {
    EXPECT_NE(buffer, nullptr);
  }
}

TEST_F(BuiltTablesTest, ConsoleStartsEmpty) {
  EXPECT_EQ(world.ConsoleLineLength, 0);
  EXPECT_EQ(world.ConsoleLine[0], '\0');
  EXPECT_EQ(world.ConsoleLine[1], '\0');
  ASSERT_NE(world.ConsoleHistory, nullptr);
  for (int line = 0; line < ConsoleHistoryLines; ++line) {
    ASSERT_NE(world.ConsoleHistory[line], nullptr);
    EXPECT_STREQ(world.ConsoleHistory[line], "") << line;
  }
}

TEST_F(BuiltTablesTest, ItemCatalogueIsWrittenDuringStartUp) {
  EXPECT_EQ(world.ItemTable[6110].typeId, 6110);
  EXPECT_EQ(world.ItemTable[8333].equipSlot, 23);
  EXPECT_EQ(world.ItemTable[10000].typeId, 6110);
  EXPECT_EQ(world.ItemTable[10000].power, 1.0f);
  EXPECT_EQ(world.ItemTable[9003].power, 2.0f);
}

class TableLifecycleTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    SetCanvasSize(display, 960, 540);
  }

  World world;
  GameTextures textures;
};

void ExpectNothingReserved(const World& world, const GameTextures& textures) {
  EXPECT_EQ(world.HeightMap, nullptr);
  EXPECT_EQ(world.TileMap, nullptr);
  EXPECT_EQ(world.CellMarks, nullptr);
  EXPECT_EQ(textures.TextureSlotTable, nullptr);
  EXPECT_EQ(world.AgentTable, nullptr);
  EXPECT_EQ(world.AuxTable, nullptr);
  EXPECT_EQ(world.ItemTable, nullptr);
  EXPECT_EQ(world.pathPlanner, nullptr);
  EXPECT_EQ(world.LevelRoomStart, nullptr);
  EXPECT_EQ(world.LevelRoomEnd, nullptr);
  EXPECT_EQ(world.RoomMask, nullptr);
  EXPECT_EQ(world.RoomTable, nullptr);
  EXPECT_EQ(world.RoomExtra, nullptr);
  EXPECT_EQ(world.SinTable, nullptr);
  EXPECT_EQ(world.CosTable, nullptr);
  EXPECT_EQ(world.ConsoleHistory, nullptr);
}

TEST_F(TableLifecycleTest, ReleaseFreesEverythingAndMayRunTwice) {
  ReleaseGameTables(world, textures);  // nothing reserved yet
  ExpectNothingReserved(world, textures);

  InitGameTables(world, textures, display);
  // Slots that the catalogue filled own pixel blocks; release must take them as well.
  textures.TextureSlotTable[5].pixels = static_cast<std::uint8_t*>(std::malloc(12));
  textures.TextureSlotTable[3099].pixels = static_cast<std::uint8_t*>(std::malloc(48));
  ReleaseGameTables(world, textures);
  ExpectNothingReserved(world, textures);
  EXPECT_EQ(ReservedGameTableBytes(world), 0u);
  ReleaseGameTables(world, textures);
  ExpectNothingReserved(world, textures);
}

TEST_F(TableLifecycleTest, StartingAgainReplacesTheTablesWithFreshOnes) {
  InitGameTables(world, textures, display);
  world.TileMap[100] = 7;
  world.pathPlanner->routeCursor[10] = 4;
  world.ConsoleHistory[3][0] = 'x';
  InitGameTables(world, textures, display);
  EXPECT_EQ(world.TileMap[100], 0);
  EXPECT_EQ(world.pathPlanner->routeCursor[10], -9);
  EXPECT_STREQ(world.ConsoleHistory[3], "");
}

TEST_F(TableLifecycleTest, TrigTablesAreBuiltOnlyOnce) {
  InitGameTables(world, textures, display);
  float* sine = world.SinTable;
  float* cosine = world.CosTable;
  world.SinTable[1234] = 42.0f;
  BuildTrigTables(world);
  EXPECT_EQ(world.SinTable, sine);
  EXPECT_EQ(world.CosTable, cosine);
  EXPECT_EQ(world.SinTable[1234], 42.0f);
}

TEST_F(TableLifecycleTest, NeighbourOrderTurnsWithTheDirection) {
  InitGameTables(world, textures, display);
  world.pathPlanner->SetNeighbourOrder(2);
  EXPECT_EQ(world.pathPlanner->direction, 2);
  // Direction 2 starts with the step to the right and keeps turning clockwise.
  EXPECT_EQ(world.pathPlanner->neighbourDx[0], 1);
  EXPECT_EQ(world.pathPlanner->neighbourDy[0], 0);
  EXPECT_EQ(world.pathPlanner->neighbourDx[7], 1);
  EXPECT_EQ(world.pathPlanner->neighbourDy[7], 1);
  EXPECT_EQ(world.pathPlanner->neighbourWeight[0], 1.0f);
  EXPECT_EQ(world.pathPlanner->neighbourWeight[7], 1.4142f);
}

TEST_F(TableLifecycleTest, ATableThatCannotBeObtainedEndsStartUpWithItsName) {
  // No machine can give this many levels: the tile map alone would fill the address space.
  try {
    InitGameTables(world, textures, display, 0x7fffffff);
    FAIL() << "start-up went on without its tile map";
  } catch (const headless::ProgramExit& exit) {
    EXPECT_EQ(exit.exitCode, 1);
  }
  ASSERT_EQ(os().messageBoxes.size(), 1u);
  EXPECT_NE(os().messageBoxes[0].text.find("TileMap"), std::string::npos);
  EXPECT_EQ(os().messageBoxes[0].caption, "ERROR");
  // What was reserved before the failure is still released cleanly.
  EXPECT_NE(world.HeightMap, nullptr);
  EXPECT_EQ(world.TileMap, nullptr);
  ReleaseGameTables(world, textures);
  ExpectNothingReserved(world, textures);
}

}  // namespace
