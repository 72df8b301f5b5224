// Reading picture headers from bytes: the format by content, the BMP header's fields and their
// check, and the JPEG frame size.
#include "base/picture_header.h"

#include <cstdint>
#include <cstring>

#include "base/little_endian.h"

namespace {

// Header sizes: core (12), OS/2 2.x short (16) and full (64), info (40) and its extensions.
bool KnownInfoSize(std::uint32_t size) {
  switch (size) {
    case 12:
    case 16:
    case 40:
    case 52:
    case 56:
    case 64:
    case 108:
    case 124:
      return true;
    default:
      return false;
  }
}

bool StartsWith(const std::uint8_t* data, std::size_t size, const char* signature,
                std::size_t length) {
  return size >= length && std::memcmp(data, signature, length) == 0;
}

// The format an ISO base media file's "ftyp" box names: its major brand (at 8), then its
// compatible brands (from 16 to the box's end), as far as they lie within size bytes.
PictureFormat BrandedFormat(const std::uint8_t* data, std::size_t size) {
  if (size < 12 || std::memcmp(data + 4, "ftyp", 4) != 0) return PictureFormat::unknown;
  const std::uint32_t boxSize = BigEndian32(data);
  const std::size_t end = boxSize < size ? boxSize : size;
  static const char* const avifBrands[] = {"avif", "avis"};
  static const char* const heifBrands[] = {"heic", "heix", "heim", "heis",
                                           "hevc", "hevx", "mif1", "msf1"};
  PictureFormat found = PictureFormat::unknown;
  for (std::size_t at = 8; at + 4 <= end; at += at == 8 ? 8 : 4) {
    for (const char* brand : avifBrands) {
      if (std::memcmp(data + at, brand, 4) == 0) return PictureFormat::avif;
    }
    for (const char* brand : heifBrands) {
      if (std::memcmp(data + at, brand, 4) == 0) found = PictureFormat::heif;
    }
  }
  return found;
}

}  // namespace

bool ReadBmpFields(const std::uint8_t* data, std::size_t size, BmpFields* fields) {
  if (!data || !fields || size < 18 || data[0] != 'B' || data[1] != 'M') return false;
  const std::uint32_t infoSize = LittleEndian32(data + 14);
  if (!KnownInfoSize(infoSize)) return false;
  // Every field read below lies within the first 54 bytes, and within the info header.
  if (size < 14u + (infoSize < 40 ? infoSize : 40u)) return false;

  BmpFields f;
  f.dataOffset = LittleEndian32(data + 10);
  f.infoSize = infoSize;
  if (infoSize == 12) {
    // The core header's sizes are 16 bits wide, the height signed like the others'.
    f.width = LittleEndian16(data + 18);
    f.height = static_cast<std::int16_t>(LittleEndian16(data + 20));
    f.planes = LittleEndian16(data + 22);
    f.bitsPerPixel = LittleEndian16(data + 24);
  } else {
    f.width = static_cast<std::int32_t>(LittleEndian32(data + 18));
    f.height = static_cast<std::int32_t>(LittleEndian32(data + 22));
    f.planes = LittleEndian16(data + 26);
    f.bitsPerPixel = LittleEndian16(data + 28);
    // The short OS/2 header ends with the depth; every longer one goes on to these.
    if (infoSize >= 40) {
      f.compression = LittleEndian32(data + 30);
      f.dataSize = LittleEndian32(data + 34);
      f.coloursUsed = LittleEndian32(data + 46);
    }
  }
  *fields = f;
  return true;
}

bool BmpDepthFitsCompression(const BmpFields& fields) {
  const int bits = fields.bitsPerPixel;
  const bool topDown = fields.height < 0;
  switch (fields.compression) {
    case bmpRgb:
      return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case bmpRle8:
      return bits == 8 && !topDown;
    case bmpRle4:
      return bits == 4 && !topDown;
    case bmpBitfields:
    case bmpAlphaBitfields:
      // The 64-byte OS/2 header uses 3 for a Huffman coding.
      return (bits == 16 || bits == 32) && fields.infoSize != 64;
    default:
      return false;  // embedded JPEG or PNG, RLE24 and anything unknown
  }
}

PictureFormat SniffPictureFormat(const std::uint8_t* data, std::size_t size) {
  if (!data) return PictureFormat::unknown;
  if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) {
    return PictureFormat::jpeg;
  }
  if (size >= 2 && data[0] == 'B' && data[1] == 'M') return PictureFormat::bmp;
  if (StartsWith(data, size, "\x89PNG\r\n\x1A\n", 8)) return PictureFormat::png;
  if (StartsWith(data, size, "GIF87a", 6) || StartsWith(data, size, "GIF89a", 6)) {
    return PictureFormat::gif;
  }
  if (StartsWith(data, size, "RIFF", 4) && size >= 12 && std::memcmp(data + 8, "WEBP", 4) == 0) {
    return PictureFormat::webp;
  }
  if (StartsWith(data, size, "\xFF\x0A", 2) ||
      StartsWith(data, size, "\0\0\0\x0CJXL \r\n\x87\n", 12)) {
    return PictureFormat::jxl;
  }
  return BrandedFormat(data, size);
}

bool CheckBmpHeader(const std::uint8_t* data, std::size_t size, std::uint64_t fileSize,
                    BmpHeaderFacts* facts) {
  BmpFields fields;
  if (!facts || size > fileSize || !ReadBmpFields(data, size, &fields)) return false;
  const std::uint32_t infoSize = fields.infoSize;
  const std::uint32_t compression = fields.compression;
  const int bits = fields.bitsPerPixel;
  const bool topDown = fields.height < 0;
  const std::int64_t width = fields.width;
  const std::int64_t height = topDown ? -fields.height : fields.height;
  if (fields.planes != 1 || width <= 0 || height <= 0) return false;
  if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > bmpMaxPixels) {
    return false;
  }
  if (!BmpDepthFitsCompression(fields)) return false;

  // Masks that follow a 40-byte header, then the palette.
  std::uint64_t tablesEnd = 14u + infoSize;
  if ((compression == bmpBitfields || compression == bmpAlphaBitfields) && infoSize < 52) {
    tablesEnd += compression == bmpAlphaBitfields ? 16u : 12u;
  }
  const std::uint64_t paletteLimit = bits <= 8 ? (1u << bits) : 256u;
  if (fields.coloursUsed > paletteLimit) return false;
  const std::uint64_t paletteEntries =
      bits <= 8 && fields.coloursUsed == 0 ? paletteLimit : fields.coloursUsed;
  tablesEnd += paletteEntries * (infoSize == 12 ? 3u : 4u);
  if (tablesEnd > fileSize) return false;

  const std::uint64_t dataOffset = fields.dataOffset;
  if (dataOffset < 14u + infoSize || dataOffset >= fileSize) return false;
  std::uint64_t described = 0;
  if (compression == bmpRle8 || compression == bmpRle4) {
    // Run-length data must start and end inside the file, as long as the header says.
    if (fields.dataSize == 0) return false;
    described = fields.dataSize;
  } else {
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bits + 31u) / 32u * 4u;
    described = stride * static_cast<std::uint64_t>(height);
  }
  if (described > fileSize - dataOffset) return false;

  facts->width = static_cast<int>(width);
  facts->height = static_cast<int>(height);
  facts->topDown = topDown;
  facts->bitsPerPixel = bits;
  facts->compression = compression;
  facts->dataOffset = static_cast<std::uint32_t>(dataOffset);
  facts->dataSize = described;
  return true;
}

bool ReadJpegFrameSize(const std::uint8_t* data, std::size_t size, int* width, int* height) {
  if (!data || !width || !height || SniffPictureFormat(data, size) != PictureFormat::jpeg) {
    return false;
  }
  std::size_t i = 2;
  for (;;) {
    // Markers may be preceded by any number of fill bytes.
    if (i >= size || data[i] != 0xFF) return false;
    while (i < size && data[i] == 0xFF) ++i;
    if (i >= size) return false;
    const std::uint8_t marker = data[i++];
    // Markers without a segment: restart markers and TEM; a second start of image is odd
    // but harmless.
    if ((marker >= 0xD0 && marker <= 0xD8) || marker == 0x01) continue;
    // The scan or the end before any frame: no size to be had.
    if (marker == 0xDA || marker == 0xD9 || marker == 0x00) return false;
    if (size - i < 2) return false;
    const std::size_t length = static_cast<std::size_t>(data[i] << 8 | data[i + 1]);  // big-endian
    if (length < 2 || length > size - i) return false;
    const bool frame =
        marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) {
      // Length, precision, height, width, components.
      if (length < 8) return false;
      const int h = (data[i + 3] << 8) | data[i + 4];
      const int w = (data[i + 5] << 8) | data[i + 6];
      if (w == 0 || h == 0) return false;
      *width = w;
      *height = h;
      return true;
    }
    i += length;
  }
}

namespace {

// Bits read low bit first, as a JPEG XL code stream holds them; reading past the end gives 0
// and marks the reader as overrun.
struct BitReader {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t bit = 0;
  bool overrun = false;

  std::uint32_t Read(int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i, ++bit) {
      if (bit / 8 >= size) {
        overrun = true;
        return 0;
      }
      value |= static_cast<std::uint32_t>((data[bit / 8] >> (bit % 8)) & 1u) << i;
    }
    return value;
  }
  // A dimension: eight times 1 to 32 for a small size, else 1 plus 9, 13, 18 or 30 bits.
  std::uint64_t Dimension(bool small) {
    if (small) return (Read(5) + 1u) * 8u;
    static const int widths[] = {9, 13, 18, 30};
    return Read(widths[Read(2)]) + 1u;
  }
};

// The JPEG XL size header after the code stream's FF 0A; the width may be a ratio of the height.
bool ReadJxlSizeHeader(const std::uint8_t* data, std::size_t size, std::uint64_t* width,
                       std::uint64_t* height) {
  BitReader bits{data, size};
  const bool small = bits.Read(1) != 0;
  *height = bits.Dimension(small);
  static const std::uint32_t ratios[8][2] = {{0, 1}, {1, 1},  {12, 10}, {4, 3},
                                             {3, 2}, {16, 9}, {5, 4},   {2, 1}};
  const std::uint32_t ratio = bits.Read(3);
  *width = ratio == 0 ? bits.Dimension(small) : *height * ratios[ratio][0] / ratios[ratio][1];
  return !bits.overrun;
}

// Where the code stream starts: at 0 bare, or in the container's first "jxlc" or "jxlp" box.
std::size_t JxlCodeStreamStart(const std::uint8_t* data, std::size_t size) {
  if (size >= 2 && data[0] == 0xFF && data[1] == 0x0A) return 0;
  for (std::size_t at = 0; at + 8 <= size;) {
    const std::uint64_t boxSize = BigEndian32(data + at);
    if (std::memcmp(data + at + 4, "jxlc", 4) == 0) return at + 8;
    if (std::memcmp(data + at + 4, "jxlp", 4) == 0) return at + 12;  // after the part's index
    if (boxSize < 8) return size;
    at += boxSize;
  }
  return size;
}

// The largest width x height of the 'ispe' properties (version and flags, then width and
// height) within the bytes.
bool ReadLargestIspe(const std::uint8_t* data, std::size_t size, std::uint64_t* width,
                     std::uint64_t* height) {
  *width = *height = 0;
  for (std::size_t at = 0; at + 16 <= size; ++at) {
    if (std::memcmp(data + at, "ispe", 4) != 0) continue;
    const std::uint64_t w = BigEndian32(data + at + 8);
    const std::uint64_t h = BigEndian32(data + at + 12);
    if (w * h > *width * *height) {
      *width = w;
      *height = h;
    }
  }
  return *width > 0 && *height > 0;
}

// The canvas of a WebP file: from its extended header, or the lossless or lossy frame header.
bool ReadWebpHeaderSize(const std::uint8_t* data, std::size_t size, std::uint64_t* width,
                        std::uint64_t* height) {
  if (size < 30) return false;
  const std::uint8_t* chunk = data + 12;
  if (std::memcmp(chunk, "VP8X", 4) == 0) {
    *width = 1u + (LittleEndian32(data + 24) & 0xFFFFFFu);
    *height = 1u + (LittleEndian32(data + 26) >> 8);
  } else if (std::memcmp(chunk, "VP8L", 4) == 0 && data[20] == 0x2F) {
    const std::uint32_t bits = LittleEndian32(data + 21);
    *width = (bits & 0x3FFFu) + 1u;
    *height = ((bits >> 14) & 0x3FFFu) + 1u;
  } else if (std::memcmp(chunk, "VP8 ", 4) == 0 && data[23] == 0x9D && data[24] == 0x01 &&
             data[25] == 0x2A) {
    *width = LittleEndian16(data + 26) & 0x3FFFu;
    *height = LittleEndian16(data + 28) & 0x3FFFu;
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool ReadFormatSize(PictureFormat format, const std::uint8_t* data, std::size_t size, int* width,
                    int* height) {
  if (!data || !width || !height || SniffPictureFormat(data, size) != format) return false;
  std::uint64_t w = 0;
  std::uint64_t h = 0;
  bool found = false;
  switch (format) {
    case PictureFormat::png:
      found = size >= 24 && std::memcmp(data + 12, "IHDR", 4) == 0;
      if (found) {
        w = BigEndian32(data + 16);
        h = BigEndian32(data + 20);
      }
      break;
    case PictureFormat::gif:
      found = size >= 10;
      if (found) {
        w = LittleEndian16(data + 6);
        h = LittleEndian16(data + 8);
      }
      break;
    case PictureFormat::webp:
      found = ReadWebpHeaderSize(data, size, &w, &h);
      break;
    case PictureFormat::avif:
    case PictureFormat::heif:
      found = ReadLargestIspe(data, size, &w, &h);
      break;
    case PictureFormat::jxl: {
      const std::size_t start = JxlCodeStreamStart(data, size);
      found = start + 2 < size && data[start] == 0xFF && data[start + 1] == 0x0A &&
              ReadJxlSizeHeader(data + start + 2, size - start - 2, &w, &h);
      break;
    }
    default:
      break;
  }
  if (!found || w == 0 || h == 0 || w > INT32_MAX || h > INT32_MAX) return false;
  *width = static_cast<int>(w);
  *height = static_cast<int>(h);
  return true;
}
