// The game's picture catalogue: which BMP file goes into which texture slot, and the upload
// of the seven cube pictures as GL textures.
#pragma once

#include <cstddef>
#include <cstdint>

#include "pictures/bmp_asset.h"

// One read of the catalogue: a path relative to the program's asset folder (the data folder
// of platform::DataFolder, never the start directory) and the slot it fills.
struct AssetEntry {
  const char* path;
  std::int32_t slot;
};

constexpr int AssetEntryCount = 214;
constexpr int AssetGroupCount = 8;

// How many entries each group operation reads, in catalogue order.
inline constexpr int AssetGroupSizes[AssetGroupCount] = {1, 58, 27, 40, 10, 56, 1, 21};

// Every read in the order start-up performs them. Some files are read into two slots.
// clang-format off
inline constexpr AssetEntry AssetCatalogue[AssetEntryCount] = {
    // 1. LoadCrossAssets: cross cursor
    {".\\bmp_cross\\cross4.bmp", 1104},
    // 2. LoadUnitAssets: units
    {".\\bmp_unit\\unit_giant_rat.bmp", 801},
    {".\\bmp_unit\\unit_green_slime.bmp", 802},
    {".\\bmp_unit\\unit_dog.bmp", 803},
    {".\\bmp_unit\\unit_serpent.bmp", 805},
    {".\\bmp_unit\\unit_fungus.bmp", 806},
    {".\\bmp_unit\\unit_goblin.bmp", 810},
    {".\\bmp_unit\\unit_nabos.bmp", 811},
    {".\\bmp_unit\\unit_orc_b.bmp", 812},
    {".\\bmp_unit\\unit_beatle.bmp", 820},
    {".\\bmp_unit\\unit_gor_dog.bmp", 821},
    {".\\bmp_unit\\unit_giant_spider.bmp", 822},
    {".\\bmp_unit\\unit_serpent_fire.bmp", 823},
    {".\\bmp_unit\\unit_beatle_fire.bmp", 824},
    {".\\bmp_unit\\unit_drius.bmp", 829},
    {".\\bmp_unit\\unit_rust_monster.bmp", 830},
    {".\\bmp_unit\\unit_giant_worm.bmp", 831},
    {".\\bmp_unit\\unit_gelatinous_cube.bmp", 832},
    {".\\bmp_unit\\unit_polar_geer.bmp", 840},
    {".\\bmp_unit\\unit_squeletton.bmp", 841},
    {".\\bmp_unit\\unit_squeletton_zombi_wounded.bmp", 842},
    {".\\bmp_unit\\unit_squeletton_zombi.bmp", 843},
    {".\\bmp_unit\\unit_mage.bmp", 849},
    {".\\bmp_unit\\unit_squeletton_sturdy.bmp", 852},
    {".\\bmp_unit\\unit_dwarf.bmp", 853},
    {".\\bmp_unit\\unit_squeletton_monster.bmp", 854},
    {".\\bmp_unit\\unit_squeletton_brave.bmp", 861},
    {".\\bmp_unit\\unit_squeletton_floating.bmp", 863},
    {".\\bmp_unit\\unit_minotor.bmp", 870},
    {".\\bmp_unit\\unit_floating_eye.bmp", 871},
    {".\\bmp_unit\\unit_squeletton_fire.bmp", 872},
    {".\\bmp_unit\\unit_mage_eye.bmp", 874},
    {".\\bmp_unit\\unit_squeletton_ogre.bmp", 875},
    {".\\bmp_unit\\unit_ogre.bmp", 876},
    {".\\bmp_unit\\unit_squeletton_armored.bmp", 878},
    {".\\bmp_unit\\unit_medusa.bmp", 881},
    {".\\bmp_unit\\unit_squeletton_warrior.bmp", 882},
    {".\\bmp_unit\\unit_mantis.bmp", 883},
    {".\\bmp_unit\\unit_squeletton_evil.bmp", 890},
    {".\\bmp_unit\\unit_lich.bmp", 902},
    {".\\bmp_unit\\unit_dragon.bmp", 903},
    {".\\bmp_unit\\unit_dragon_hydra.bmp", 904},
    {".\\bmp_unit\\unit_dragon_basilic.bmp", 906},
    {".\\bmp_unit\\unit_fire.bmp", 960},
    {".\\bmp_unit\\unit_fire_fire.bmp", 961},
    {".\\bmp_unit\\unit_fire_fire_fire.bmp", 962},
    {".\\bmp_unit\\unit_water.bmp", 963},
    {".\\bmp_unit\\unit_water_water.bmp", 964},
    {".\\bmp_unit\\unit_water_water_water.bmp", 965},
    {".\\bmp_unit\\unit_earth.bmp", 966},
    {".\\bmp_unit\\unit_earth_earth.bmp", 967},
    {".\\bmp_unit\\unit_earth_earth_earth.bmp", 968},
    {".\\bmp_unit\\unit_air.bmp", 969},
    {".\\bmp_unit\\unit_air_air.bmp", 970},
    {".\\bmp_unit\\unit_air_air_air.bmp", 971},
    {".\\bmp_unit\\unit_fighter.bmp", 980},
    {".\\bmp_unit\\unit_mage.bmp", 981},
    {".\\bmp_unit\\unit_cleric.bmp", 982},
    {".\\bmp_unit\\unit_bandit.bmp", 983},
    // 3. LoadLandAssets: land tiles
    {".\\bmp_land\\plain.bmp", 10},
    {".\\bmp_land\\forest.bmp", 11},
    {".\\bmp_land\\forest_fruit.bmp", 12},
    {".\\bmp_land\\forest_gray.bmp", 13},
    {".\\bmp_land\\water.bmp", 14},
    {".\\bmp_land\\water_deep.bmp", 15},
    {".\\bmp_land\\swamp_a.bmp", 16},
    {".\\bmp_land\\desert_a.bmp", 17},
    {".\\bmp_land\\hills_a.bmp", 18},
    {".\\bmp_land\\mountain.bmp", 19},
    {".\\bmp_land\\mountain_high_a.bmp", 20},
    {".\\bmp_land\\forest_leaf.bmp", 21},
    {".\\bmp_land\\road_b.bmp", 22},
    {".\\bmp_land\\forest_b.bmp", 23},
    {".\\bmp_land\\forest_c.bmp", 24},
    {".\\bmp_land\\village_b.bmp", 180},
    {".\\bmp_land\\village_b_yellow.bmp", 181},
    {".\\bmp_land\\village_b_blue.bmp", 182},
    {".\\bmp_land\\village_b_green.bmp", 183},
    {".\\bmp_land\\village_b_red.bmp", 184},
    {".\\bmp_land\\ruin_a.bmp", 188},
    {".\\bmp_land\\castle_a.bmp", 189},
    {".\\bmp_land\\grottus.bmp", 190},
    {".\\bmp_land\\mine.bmp", 191},
    {".\\bmp_land\\iron_mine.bmp", 192},
    {".\\bmp_land\\forest_leaf.bmp", 193},
    {".\\bmp_land\\well.bmp", 194},
    // 4. LoadDungeonAssets: dungeon tiles
    {".\\bmp_dungeon\\wall.bmp", 111},
    {".\\bmp_dungeon\\floor_marble.bmp", 118},
    {".\\bmp_dungeon\\floor.bmp", 119},
    {".\\bmp_dungeon\\chest.bmp", 120},
    {".\\bmp_dungeon\\chest_open.bmp", 121},
    {".\\bmp_dungeon\\candelabrum.bmp", 122},
    {".\\bmp_dungeon\\candelabrum_extinct.bmp", 123},
    {".\\bmp_dungeon\\coffin.bmp", 124},
    {".\\bmp_dungeon\\coffin_open.bmp", 125},
    {".\\bmp_dungeon\\floor_bones.bmp", 126},
    {".\\bmp_dungeon\\floor_bones_cleaned.bmp", 127},
    {".\\bmp_dungeon\\door.bmp", 128},
    {".\\bmp_dungeon\\door_opened.bmp", 129},
    {".\\bmp_dungeon\\source.bmp", 130},
    {".\\bmp_dungeon\\source_complete.bmp", 131},
    {".\\bmp_dungeon\\spawn.bmp", 132},
    {".\\bmp_dungeon\\spawn_complete.bmp", 133},
    {".\\bmp_dungeon\\fountain.bmp", 134},
    {".\\bmp_dungeon\\fountain_drank.bmp", 135},
    {".\\bmp_dungeon\\stairsd.bmp", 136},
    {".\\bmp_dungeon\\stairsu.bmp", 137},
    {".\\bmp_dungeon\\circle.bmp", 140},
    {".\\bmp_dungeon\\circle_golden.bmp", 141},
    {".\\bmp_dungeon\\circle_aflamed.bmp", 142},
    {".\\bmp_dungeon\\altar.bmp", 144},
    {".\\bmp_dungeon\\altar_jeweled.bmp", 145},
    {".\\bmp_dungeon\\altar_dark.bmp", 146},
    {".\\bmp_dungeon\\trap.bmp", 148},
    {".\\bmp_dungeon\\trap_disabled.bmp", 149},
    {".\\bmp_dungeon\\torch.bmp", 152},
    {".\\bmp_dungeon\\torch_extinct.bmp", 153},
    {".\\bmp_dungeon\\geer_mecanism.bmp", 155},
    {".\\bmp_dungeon\\lever.bmp", 156},
    {".\\bmp_dungeon\\source.bmp", 160},
    {".\\bmp_dungeon\\source_red.bmp", 161},
    {".\\bmp_dungeon\\source_green.bmp", 162},
    {".\\bmp_dungeon\\source_blue.bmp", 163},
    {".\\bmp_dungeon\\source_yellow.bmp", 164},
    {".\\bmp_dungeon\\source_brown.bmp", 165},
    {".\\bmp_dungeon\\scrolls.bmp", 167},
    // 5. LoadStructureAssets: structures
    {".\\bmp_structure\\hart.bmp", 390},
    {".\\bmp_structure\\structure_farm.bmp", 400},
    {".\\bmp_structure\\structure_merchant.bmp", 401},
    {".\\bmp_structure\\structure_quary.bmp", 402},
    {".\\bmp_structure\\structure_stable.bmp", 403},
    {".\\bmp_structure\\structure_tower.bmp", 404},
    {".\\bmp_structure\\structure_barrack.bmp", 405},
    {".\\bmp_structure\\structure_blacksmith.bmp", 406},
    {".\\bmp_structure\\structure_castle.bmp", 407},
    {".\\bmp_structure\\structure_church.bmp", 408},
    // 6. LoadItemAssets: items
    {".\\bmp_item\\blank.bmp", 0},
    {".\\bmp_item\\item_knife.bmp", 600},
    {".\\bmp_item\\item_dagger.bmp", 601},
    {".\\bmp_item\\item_short_sword.bmp", 602},
    {".\\bmp_item\\item_gauche.bmp", 603},
    {".\\bmp_item\\item_long_sword.bmp", 604},
    {".\\bmp_item\\item_bastard_sword.bmp", 605},
    {".\\bmp_item\\item_kopesh.bmp", 606},
    {".\\bmp_item\\item_blade.bmp", 607},
    {".\\bmp_item\\item_blade_ameliorated.bmp", 608},
    {".\\bmp_item\\item_behead.bmp", 609},
    {".\\bmp_item\\item_broad_sword.bmp", 610},
    {".\\bmp_item\\item_horner.bmp", 611},
    {".\\bmp_item\\item_glaive.bmp", 612},
    {".\\bmp_item\\item_saber.bmp", 613},
    {".\\bmp_item\\item_saber_ameliorated.bmp", 614},
    {".\\bmp_item\\item_whale_blade.bmp", 615},
    {".\\bmp_item\\item_whale_blade_ameliorated.bmp", 616},
    {".\\bmp_item\\item_two_handed_sword.bmp", 617},
    {".\\bmp_item\\item_two_bladed_sword.bmp", 618},
    {".\\bmp_item\\item_two_bladed_sword_ameliorated.bmp", 619},
    {".\\bmp_item\\item_bag.bmp", 3000},
    {".\\bmp_item\\item_blue_bag.bmp", 3001},
    {".\\bmp_item\\item_maul.bmp", 630},
    {".\\bmp_item\\item_morningstar.bmp", 631},
    {".\\bmp_item\\item_mace.bmp", 632},
    {".\\bmp_item\\item_war_mace.bmp", 633},
    {".\\bmp_item\\item_staff.bmp", 640},
    {".\\bmp_item\\item_rod.bmp", 641},
    {".\\bmp_item\\item_wand.bmp", 642},
    {".\\bmp_item\\item_hand_axe.bmp", 650},
    {".\\bmp_item\\item_axe.bmp", 651},
    {".\\bmp_item\\item_battle_axe.bmp", 652},
    {".\\bmp_item\\item_iron_battle_axe.bmp", 653},
    {".\\bmp_item\\item_iron_ordered_battle_axe.bmp", 654},
    {".\\bmp_item\\item_iron_rubioux_battle_axe.bmp", 655},
    {".\\bmp_item\\item_potion_red.bmp", 680},
    {".\\bmp_item\\item_potion_green.bmp", 681},
    {".\\bmp_item\\item_potion_blue.bmp", 682},
    {".\\bmp_item\\item_potion_yellow.bmp", 683},
    {".\\bmp_item\\item_potion_white.bmp", 684},
    {".\\bmp_item\\item_blue_robe.bmp", 730},
    {".\\bmp_item\\item_red_robe.bmp", 731},
    {".\\bmp_item\\item_gray_robe.bmp", 732},
    {".\\bmp_item\\item_leather_armor.bmp", 740},
    {".\\bmp_item\\item_studded_leather_armor.bmp", 741},
    {".\\bmp_item\\item_chain_mail.bmp", 742},
    {".\\bmp_item\\item_scale_armor_b.bmp", 743},
    {".\\bmp_item\\item_plate_armor.bmp", 744},
    {".\\bmp_item\\item_full_plate_armor.bmp", 745},
    {".\\bmp_item\\item_magic_armor.bmp", 746},
    {".\\bmp_item\\socket.bmp", 780},
    {".\\bmp_item\\alleviated_corner1.bmp", 785},
    {".\\bmp_item\\alleviated_corner2.bmp", 786},
    {".\\bmp_item\\alleviated_corner3.bmp", 787},
    {".\\bmp_item\\alleviated_corner4.bmp", 788},
    // 7. LoadScreenAssets: intro screen
    {".\\bmp_scr\\intro1.bmp", 1000},
    // 8. LoadCubeAssets: cube textures, then units read a second time
    {".\\bmp_cube\\structure_castle.bmp", 1200},
    {".\\bmp_cube\\brickold2.bmp", 1201},
    {".\\bmp_cube\\grass3.bmp", 1202},
    {".\\bmp_cube\\dirt1.bmp", 1203},
    {".\\bmp_cube\\brickold3.bmp", 1204},
    {".\\bmp_cube\\item_whale_blade.bmp", 1205},
    {".\\bmp_cube\\DSC3.bmp", 1206},
    {".\\bmp_unit\\unit_green_slime.bmp", 1210},
    {".\\bmp_unit\\unit_nabos.bmp", 1211},
    {".\\bmp_unit\\unit_serpent.bmp", 1212},
    {".\\bmp_unit\\unit_giant_spider.bmp", 1213},
    {".\\bmp_unit\\unit_serpent_fire.bmp", 1214},
    {".\\bmp_unit\\unit_giant_worm.bmp", 1215},
    {".\\bmp_unit\\unit_floating_eye.bmp", 1216},
    {".\\bmp_unit\\unit_gelatinous_cube.bmp", 1217},
    {".\\bmp_unit\\unit_ogre.bmp", 1218},
    {".\\bmp_unit\\unit_mage_eye.bmp", 1219},
    {".\\bmp_unit\\unit_minotor.bmp", 1220},
    {".\\bmp_unit\\unit_mantis.bmp", 1221},
    {".\\bmp_unit\\unit_dragon_hydra.bmp", 1222},
    {".\\bmp_unit\\unit_pleidian.bmp", 1223},
};
// clang-format on

// The cube pictures: slots CubeFirstSlot to CubeFirstSlot + CubeTextureCount - 1.
constexpr int CubeFirstSlot = 1200;
constexpr int CubeTextureCount = 7;
constexpr int CubeNameCount = 32;

// The game's pictures: the texture slots the catalogue is read into and the cube textures of
// the current GL context. The world-table start-up reserves the slots; ReleaseTextureSlots, or
// the end of the object, releases every slot's pixels and then the table.
struct GameTextures {
  GameTextures() = default;
  GameTextures(const GameTextures&) = delete;
  GameTextures& operator=(const GameTextures&) = delete;
  ~GameTextures();

  TextureSlot* TextureSlotTable = nullptr;  // slotCount slots
  int slotCount = 0;
  // Texture names of the current GL context; entry i names the texture of slot 1200 + i, the
  // entries from 7 on are generated but receive no image.
  unsigned CubeTextureNames[CubeNameCount] = {};
};

// Frees every slot's pixels and then the slot table; safe when there is none.
void ReleaseTextureSlots(GameTextures& textures);

// The file a catalogue path names in the asset folder: the folder, the separator, and the
// path without its leading ".\", each further backslash written as the separator. False, and
// nothing usable in path, when it does not fit size bytes.
bool AssetFilePath(const char* folder, const char* relative, char separator, char* path,
                   std::size_t size);

// The eight groups of the catalogue; each reads its files in catalogue order from the asset
// folder into slots, a table of at least TextureSlotCount slots. Without an asset folder
// nothing is read, as if every file were missing.
void LoadCrossAssets(TextureSlot* slots);
void LoadUnitAssets(TextureSlot* slots);
void LoadLandAssets(TextureSlot* slots);
void LoadDungeonAssets(TextureSlot* slots);
void LoadStructureAssets(TextureSlot* slots);
void LoadItemAssets(TextureSlot* slots);
void LoadScreenAssets(TextureSlot* slots);
void LoadCubeAssets(TextureSlot* slots);

// Reads every catalogue entry into its slot, group by group.
void LoadAssetCatalogue(TextureSlot* slots);

// Uploads slots 1200 to 1206 as textures of the current GL context, naming them in
// CubeTextureNames; always 1.
int UploadCubeTextures(GameTextures& textures);
