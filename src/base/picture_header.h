// What a picture file's first bytes say about it, read before any decoder sees the file: its
// format by content, the fields of a BMP header and their check, and the size in a JPEG frame
// header. Pure functions over bytes, so that a backend can refuse a file before handing it to
// a loader that trusts what the file claims. The BMP fields are read here only: the header
// check, the native decoder and the size probe all take them from ReadBmpFields.
#pragma once

#include <cstddef>
#include <cstdint>

// A picture format; its number is the kind the core reports for a file of it (PictureKind).
enum class PictureFormat : std::int32_t {
  unknown = 0,
  bmp = 1,
  jpeg = 2,
  gif = 5,
  png = 9,
  webp = 10,
  avif = 11,
  heif = 12,
  jxl = 13,
};

// The format by content: a JPEG starts with FF D8 FF, a BMP with "BM", a PNG with its eight-byte
// signature, a GIF with "GIF87a" or "GIF89a", a WebP with a RIFF header of form "WEBP", a JPEG XL
// with its bare code stream's FF 0A or its container's signature box. AVIF and HEIF files start
// with an "ftyp" box: a brand of AVIF's among its brands makes an AVIF, else one of HEIF's
// (HEVC pictures and sequences, or the generic image brands) a HEIF. Only the brands within
// size bytes are looked at.
PictureFormat SniffPictureFormat(const std::uint8_t* data, std::size_t size);

// Bytes enough for SniffPictureFormat to tell every format apart in usual files.
constexpr std::size_t pictureSniffBytes = 64;

// The BMP compressions a header may name.
enum BmpCompression : std::uint32_t {
  bmpRgb = 0,
  bmpRle8 = 1,
  bmpRle4 = 2,
  bmpBitfields = 3,
  bmpAlphaBitfields = 6,
};

// The numbers of a BMP's file header and info header as the file gives them, before any of them
// is checked. A field the info header is too short to hold keeps its value here.
struct BmpFields {
  std::uint32_t dataOffset = 0;  // where the file header says the pixel data start
  std::uint32_t infoSize = 0;    // 12, 16, 40, 52, 56, 64, 108 or 124
  std::int64_t width = 0;
  std::int64_t height = 0;  // negative for top-down rows
  int planes = 0;
  int bitsPerPixel = 0;
  std::uint32_t compression = bmpRgb;
  std::uint32_t dataSize = 0;     // bytes of pixel data; may be 0 for uncompressed rows
  std::uint32_t coloursUsed = 0;  // palette entries; 0 for as many as the depth has
};

// Reads the fields from the first `size` bytes of a BMP file: its 14-byte file header and the
// first 40 bytes of its info header (all of a shorter one). False when the bytes are no BMP,
// end before those fields, or name an info header size that none of the known headers has.
bool ReadBmpFields(const std::uint8_t* data, std::size_t size, BmpFields* fields);

// Whether the pixel depth goes with the compression, one rule for the header check and the
// native decoder: 1, 4, 8, 16, 24 or 32 bits uncompressed; run lengths at 8 or 4 bits, stored
// bottom-up; bit fields at 16 or 32 bits, except in the 64-byte OS/2 header, which uses that
// compression number for a Huffman coding. 2-bit pictures are refused: the Windows picture
// loader does not draw them, so neither program shows them.
bool BmpDepthFitsCompression(const BmpFields& fields);

struct BmpHeaderFacts {
  int width = 0;
  int height = 0;  // positive, top-down files included
  bool topDown = false;
  int bitsPerPixel = 0;
  std::uint32_t compression = bmpRgb;
  std::uint32_t dataOffset = 0;  // where the pixel data start
  std::uint64_t dataSize = 0;    // bytes of pixel data the header describes
};

// The largest picture a BMP header may describe: the PictureBuffer's 100,000,000 pixels.
constexpr std::uint64_t bmpMaxPixels = 100000000u;

// Checks the header of a BMP file whose first `size` bytes are in data and whose whole length
// is fileSize. Accepts only a header that a decoder can honour without reading outside the
// file: a known header size, one plane, a size of 1 to bmpMaxPixels pixels, a pixel depth the
// compression allows, a palette and masks that lie in the file, and pixel data that start
// after the headers and end inside the file (uncompressed rows all of them; run-length data
// as the header's data size gives it). Fills facts when it accepts.
bool CheckBmpHeader(const std::uint8_t* data, std::size_t size, std::uint64_t fileSize,
                    BmpHeaderFacts* facts);

// The picture size a PNG, GIF, WebP, AVIF, HEIF or JPEG XL file's header gives, read from its
// first size bytes, to weigh a decode before it starts: the largest 'ispe' property there for
// AVIF and HEIF (before any turn), the code stream's size header for JPEG XL. False for other
// formats, or when the bytes end before the size or give none.
bool ReadFormatSize(PictureFormat format, const std::uint8_t* data, std::size_t size, int* width,
                    int* height);

// The size in a JPEG's frame header, found by walking its marker segments from the start of
// data. False when data is no JPEG, the walk leaves data or meets the scan first, or the
// frame names no size (a height of 0 deferred to a later marker counts as none).
bool ReadJpegFrameSize(const std::uint8_t* data, std::size_t size, int* width, int* height);
