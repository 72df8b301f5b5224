// The BMP decoder of the native backends: uncompressed rows of 1 to 32 bits, bit-field masks
// and run-length compressed rows of 4 and 8 bits, checked against the file's size before any
// row is read.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "backends/posix/decoder_parts.h"
#include "base/little_endian.h"
#include "base/picture_header.h"

namespace native {

namespace {

// One colour channel of a 16- or 32-bit pixel: where its bits are and how to widen them.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  std::uint32_t maximum = 0;  // mask >> shift; 0 for a channel that is absent

  std::uint8_t Scale(std::uint32_t pixel) const {
    if (maximum == 0) return 0;
    const std::uint64_t value = (pixel & mask) >> shift;
    return static_cast<std::uint8_t>((value * 255u + maximum / 2) / maximum);
  }
};

// False for a mask whose bits are not one contiguous run.
bool MakeChannel(std::uint32_t mask, Channel* channel) {
  *channel = {};
  if (mask == 0) return true;
  int shift = 0;
  while (((mask >> shift) & 1u) == 0) ++shift;
  const std::uint32_t run = mask >> shift;
  if ((run & (run + 1u)) != 0) return false;
  channel->mask = mask;
  channel->shift = shift;
  channel->maximum = run;
  return true;
}

struct BmpHeader {
  std::uint32_t dataOffset = 0;
  std::uint32_t headerSize = 0;
  int width = 0;
  int height = 0;  // always positive here; topDown tells the row order
  bool topDown = false;
  int bitsPerPixel = 0;
  std::uint32_t compression = bmpRgb;
  Channel red, green, blue;
  std::uint8_t palette[256][3] = {};  // red, green, blue; unused entries stay black
};

struct BmpFile {
  std::FILE* file = nullptr;
  std::uint64_t size = 0;
};

bool ReadAt(const BmpFile& bmp, std::uint64_t offset, void* buffer, std::size_t count) {
  if (offset > bmp.size || count > bmp.size - offset) return false;
  if (std::fseek(bmp.file, static_cast<long>(offset), SEEK_SET) != 0) return false;
  return std::fread(buffer, 1, count, bmp.file) == count;
}

// The file header and the info header as the file holds them, and the fields read from them.
struct BmpHead {
  BmpFields fields;
  std::uint8_t bytes[14 + 124] = {};  // the file header, then fields.infoSize bytes of info
  const std::uint8_t* Info() const { return bytes + 14; }
};

// Reads the file header and the whole info header; false when the file is too short for them,
// is no BMP or has an info header of a size nothing here knows.
bool ReadBmpHead(const BmpFile& bmp, BmpHead* head) {
  if (!ReadAt(bmp, 0, head->bytes, 18)) return false;
  // As much of the info header as the buffer holds; ReadBmpFields refuses any unknown size.
  const std::uint32_t infoSize = LittleEndian32(head->bytes + 14);
  const std::size_t length = 14u + (infoSize < 124 ? infoSize : 124u);
  if (length > 18 && !ReadAt(bmp, 18, head->bytes + 18, length - 18)) return false;
  return ReadBmpFields(head->bytes, length, &head->fields);
}

// Whether the sizes, the depth and the compression make a picture this decoder draws.
bool ValidBmpFields(const BmpFields& f) {
  if (f.planes != 1 || f.width <= 0 || f.height == 0) return false;
  if (f.width > INT32_MAX || f.height > INT32_MAX || -f.height > INT32_MAX) return false;
  return BmpDepthFitsCompression(f);
}

// The colour channels of a 16- or 32-bit picture: the file's masks or the default ones. Moves
// paletteStart past masks stored after the info header. False for masks that make no picture.
bool ReadBmpChannels(const BmpFile& bmp, const BmpHead& head, BmpHeader* header,
                     std::uint64_t* paletteStart) {
  const BmpFields& f = head.fields;
  const int bpp = f.bitsPerPixel;
  std::uint32_t masks[3] = {0, 0, 0};
  if (f.compression == bmpBitfields || f.compression == bmpAlphaBitfields) {
    if (f.infoSize >= 52) {
      masks[0] = LittleEndian32(head.Info() + 40);
      masks[1] = LittleEndian32(head.Info() + 44);
      masks[2] = LittleEndian32(head.Info() + 48);
    } else {
      std::uint8_t extra[12];
      if (!ReadAt(bmp, *paletteStart, extra, sizeof extra)) return false;
      masks[0] = LittleEndian32(extra);
      masks[1] = LittleEndian32(extra + 4);
      masks[2] = LittleEndian32(extra + 8);
      *paletteStart += f.compression == bmpAlphaBitfields ? 16u : 12u;
    }
    // The bits of a 16-bit pixel are its lower half; overlapping channels make no picture.
    const std::uint32_t limit = bpp == 16 ? 0xFFFFu : 0xFFFFFFFFu;
    if ((masks[0] | masks[1] | masks[2]) & ~limit) return false;
    if ((masks[0] & masks[1]) || (masks[0] & masks[2]) || (masks[1] & masks[2])) return false;
  } else if (bpp == 16) {
    masks[0] = 0x7C00u;
    masks[1] = 0x03E0u;
    masks[2] = 0x001Fu;
  } else if (bpp == 32) {
    masks[0] = 0x00FF0000u;
    masks[1] = 0x0000FF00u;
    masks[2] = 0x000000FFu;
  }
  return MakeChannel(masks[0], &header->red) && MakeChannel(masks[1], &header->green) &&
         MakeChannel(masks[2], &header->blue);
}

// The palette of a picture of 8 bits or fewer per pixel, as far as the file holds it.
bool ReadBmpPalette(const BmpFile& bmp, const BmpFields& f, std::uint64_t paletteStart,
                    BmpHeader* header) {
  const int bpp = f.bitsPerPixel;
  if (bpp > 8) return true;
  const std::uint32_t entrySize = f.infoSize == 12 ? 3u : 4u;
  std::uint32_t count = 1u << bpp;
  if (f.coloursUsed != 0 && f.coloursUsed < count) count = f.coloursUsed;
  // A short palette ends where the pixel data begins.
  if (f.dataOffset > paletteStart) {
    const std::uint64_t room = (f.dataOffset - paletteStart) / entrySize;
    if (room < count) count = static_cast<std::uint32_t>(room);
  }
  std::uint8_t entries[256 * 4];
  if (count > 0 && !ReadAt(bmp, paletteStart, entries, count * entrySize)) return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint8_t* e = entries + i * entrySize;
    header->palette[i][0] = e[2];
    header->palette[i][1] = e[1];
    header->palette[i][2] = e[0];
  }
  return true;
}

// Reads and checks everything in front of the pixel data.
bool ReadBmpHeader(const BmpFile& bmp, BmpHeader* header) {
  BmpHead head;
  if (!ReadBmpHead(bmp, &head) || !ValidBmpFields(head.fields)) return false;
  const BmpFields& f = head.fields;
  header->dataOffset = f.dataOffset;
  header->headerSize = f.infoSize;
  header->width = static_cast<int>(f.width);
  header->topDown = f.height < 0;
  header->height = static_cast<int>(f.height < 0 ? -f.height : f.height);
  header->bitsPerPixel = f.bitsPerPixel;
  header->compression = f.compression;
  // The channel masks and the palette follow the info header.
  std::uint64_t paletteStart = 14u + f.infoSize;
  return ReadBmpChannels(bmp, head, header, &paletteStart) &&
         ReadBmpPalette(bmp, f, paletteStart, header);
}

// Converts one file row of an uncompressed BMP into output pixels.
void ConvertBmpRow(const BmpHeader& h, const std::uint8_t* row, std::uint8_t* out) {
  const int bpp = h.bitsPerPixel;
  for (int x = 0; x < h.width; ++x, out += 4) {
    if (bpp <= 8) {
      const int perByte = 8 / bpp;
      const int shift = 8 - bpp * (x % perByte + 1);
      const int index = (row[x / perByte] >> shift) & ((1 << bpp) - 1);
      PutPixel(out, h.palette[index][0], h.palette[index][1], h.palette[index][2]);
    } else if (bpp == 24) {
      const std::uint8_t* p = row + static_cast<std::size_t>(x) * 3u;
      PutPixel(out, p[2], p[1], p[0]);
    } else {
      const std::uint32_t pixel = bpp == 16
                                      ? LittleEndian16(row + static_cast<std::size_t>(x) * 2u)
                                      : LittleEndian32(row + static_cast<std::size_t>(x) * 4u);
      PutPixel(out, h.red.Scale(pixel), h.green.Scale(pixel), h.blue.Scale(pixel));
    }
  }
}

// Uncompressed rows, each padded to four bytes; every row must be in the file.
std::uint64_t BmpStride(const BmpHeader& h) {
  return (static_cast<std::uint64_t>(h.width) * static_cast<unsigned>(h.bitsPerPixel) + 31u) / 32u *
         4u;
}

// Checked before the pixels are obtained, so a cut file costs no pixel memory.
bool BmpRowsInFile(const BmpFile& bmp, const BmpHeader& h) {
  const std::uint64_t dataSize = BmpStride(h) * static_cast<std::uint64_t>(h.height);
  return h.dataOffset <= bmp.size && dataSize <= bmp.size - h.dataOffset;
}

bool DecodeBmpRows(const BmpFile& bmp, const BmpHeader& h, std::uint8_t* pixels) {
  const std::uint64_t stride = BmpStride(h);
  auto* row = static_cast<std::uint8_t*>(std::malloc(static_cast<std::size_t>(stride)));
  if (!row) return false;
  bool ok = std::fseek(bmp.file, static_cast<long>(h.dataOffset), SEEK_SET) == 0;
  for (int y = 0; ok && y < h.height; ++y) {
    ok = std::fread(row, 1, static_cast<std::size_t>(stride), bmp.file) == stride;
    if (ok) {
      const int outRow = h.topDown ? h.height - 1 - y : y;
      ConvertBmpRow(h, row, PixelRow(pixels, h.width, outRow));
    }
  }
  std::free(row);
  return ok;
}

// RLE8 and RLE4: runs, absolute runs, end of line, end of picture and deltas. Pixels are clipped
// to the picture; pixels that no code reaches stay black. Data that stops without an end code
// ends the picture where it stops.
void DecodeBmpRle(const BmpHeader& h, const std::uint8_t* data, std::size_t size,
                  std::uint8_t* pixels) {
  const bool four = h.compression == bmpRle4;
  std::int64_t x = 0;
  std::int64_t y = 0;  // row from the bottom
  auto put = [&](int index) {
    if (x < h.width && y < h.height) {
      const std::uint8_t* c = h.palette[index & 0xFF];
      PutPixel(PixelRow(pixels, h.width, static_cast<int>(y)) + x * 4, c[0], c[1], c[2]);
    }
    ++x;
  };
  std::size_t i = 0;
  while (i + 1 < size && y < h.height) {
    const unsigned count = data[i];
    const unsigned value = data[i + 1];
    i += 2;
    if (count > 0) {
      for (unsigned k = 0; k < count && x < h.width; ++k) {
        put(four ? ((k & 1u) ? value & 0x0F : value >> 4) : value);
      }
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of picture
      break;
    } else if (value == 2) {  // delta
      if (i + 1 >= size) break;
      x += data[i];
      y += data[i + 1];
      i += 2;
    } else {  // absolute run of `value` pixels, padded to a 16-bit boundary
      const std::size_t bytes = four ? (value + 1u) / 2u : value;
      if (bytes > size - i) break;
      for (unsigned k = 0; k < value && x < h.width; ++k) {
        const unsigned byte = data[i + (four ? k / 2u : k)];
        put(four ? ((k & 1u) ? byte & 0x0F : byte >> 4) : byte);
      }
      i += (bytes + 1u) & ~static_cast<std::size_t>(1);
    }
  }
}

}  // namespace

bool DecodeBmp(DecodeRequest& request, platform::DecodedPicture* picture) {
  const BmpFile bmp{request.file, request.fileSize};
  BmpHeader header;
  if (!ReadBmpHeader(bmp, &header) || !request.Accepts(header.width, header.height)) return false;
  const bool runLength = header.compression == bmpRle8 || header.compression == bmpRle4;
  if (!runLength && !BmpRowsInFile(bmp, header)) return false;
  Bytes pixels = request.AllocatePixels(header.width, header.height);
  if (!pixels) return false;
  bool ok = false;
  if (runLength) {
    if (header.dataOffset >= bmp.size) return false;
    const auto size = static_cast<std::size_t>(bmp.size - header.dataOffset);
    const Bytes data(static_cast<std::uint8_t*>(std::malloc(size)));
    ok = data && ReadAt(bmp, header.dataOffset, data.get(), size);
    if (ok) DecodeBmpRle(header, data.get(), size, pixels.get());
  } else {
    ok = DecodeBmpRows(bmp, header, pixels.get());
  }
  return HandOver(ok, std::move(pixels), header.width, header.height, picture);
}

}  // namespace native
