// Test helpers: BMP files built byte by byte, a scratch directory and a private slot table.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pictures/asset_catalogue.h"
#include "pictures/bmp_asset.h"
#include "support/program_fixture.h"

namespace bmptest {

using Bytes = std::vector<std::uint8_t>;

inline void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A 54-byte header as a standard tool writes it, followed by data as given.
inline Bytes Bmp(std::int32_t width, std::int32_t height, std::uint16_t bitCount, const Bytes& data,
                 std::uint32_t dataOffset = 54) {
  Bytes b(54, 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, static_cast<std::uint32_t>(54 + data.size()));
  Put32(b, 10, dataOffset);
  Put32(b, 14, dataOffset - 14);
  Put32(b, 18, static_cast<std::uint32_t>(width));
  Put32(b, 22, static_cast<std::uint32_t>(height));
  b[26] = 1;
  b[28] = static_cast<std::uint8_t>(bitCount & 0xFF);
  b[29] = static_cast<std::uint8_t>(bitCount >> 8);
  Put32(b, 34, static_cast<std::uint32_t>(data.size()));
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

// n bytes counting up from first.
inline Bytes Ramp(std::size_t n, std::uint8_t first = 1) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(first + i);
  return b;
}

// The bytes with the first and third of every 3-byte step exchanged.
inline Bytes Swapped(Bytes b) {
  for (std::size_t i = 0; i + 2 < b.size(); i += 3) std::swap(b[i], b[i + 2]);
  return b;
}

inline Bytes ReadWhole(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline Bytes SlotBytes(const TextureSlot& slot) {
  if (!slot.pixels || slot.width <= 0 || slot.height <= 0) return {};
  return Bytes(slot.pixels, slot.pixels + std::size_t(slot.width) * slot.height * 3);
}

// A fresh program with its own zeroed slot table and a scratch directory that is removed
// afterwards.
class SlotTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    char pattern[] = "/tmp/trove_assets_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    textures.TextureSlotTable = static_cast<TextureSlot*>(std::calloc(3100, sizeof(TextureSlot)));
    ASSERT_NE(textures.TextureSlotTable, nullptr);
    textures.slotCount = 3100;
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
    ProgramTest::TearDown();
  }

  std::string Write(const std::string& name, const Bytes& bytes) {
    std::filesystem::path path = dir_ / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path.string();
  }

  TextureSlot& Slot(int i) { return textures.TextureSlotTable[i]; }

  std::filesystem::path dir_;
  GameTextures textures;
};

}  // namespace bmptest
