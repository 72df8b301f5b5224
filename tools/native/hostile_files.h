// Small files that claim or cost far more than they are, one of each kind a decoder must hold
// to the size its file declares: for the decoder tests and the fuzzing seeds. Each is made
// here, by hand or from a tiny picture its format's own library writes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "native/format_writers.h"
#include "native/png_writer.h"

namespace hostile {

using Bytes = std::vector<std::uint8_t>;

inline void Put16(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

inline void Put32(Bytes& out, std::uint32_t v) {
  Put16(out, v >> 16);
  Put16(out, v & 0xFFFFu);
}

inline Bytes Box(const char* type, const Bytes& content) {
  Bytes out(content.size() + 8);
  for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(out.size() >> (24 - 8 * i));
  std::memcpy(out.data() + 4, type, 4);
  std::copy(content.begin(), content.end(), out.begin() + 8);
  return out;
}

inline Bytes FullBox(const char* type, std::uint8_t version, std::uint32_t flags, Bytes content) {
  Bytes head;
  Put32(head, std::uint32_t{version} << 24 | flags);
  content.insert(content.begin(), head.begin(), head.end());
  return Box(type, content);
}

inline Bytes Ispe(std::uint32_t width, std::uint32_t height) {
  Bytes size;
  Put32(size, width);
  Put32(size, height);
  return FullBox("ispe", 0, 0, size);
}

// The whole box of the given type found first in the file, or its content alone.
inline Bytes FindBox(const Bytes& file, const char* type, bool contentOnly) {
  const auto at = std::search(file.begin(), file.end(), type, type + 4);
  if (at - file.begin() < 4) return {};
  const auto start = at - 4;
  const std::size_t size = std::size_t{start[0]} << 24 | std::size_t{start[1]} << 16 |
                           std::size_t{start[2]} << 8 | start[3];
  if (size < 8 || size > static_cast<std::size_t>(file.end() - start)) return {};
  return Bytes(start + (contentOnly ? 8 : 0), start + static_cast<std::ptrdiff_t>(size));
}

// Every 'ispe' of the file (a picture's and its alpha's) set to width x height.
inline Bytes WithIspe(Bytes file, std::uint32_t width, std::uint32_t height) {
  const char ispe[] = "ispe";
  for (auto at = file.begin(); (at = std::search(at, file.end(), ispe, ispe + 4)) != file.end();) {
    const Bytes size = Ispe(width, height);
    std::copy(size.begin() + 12, size.end(), at + 8);
    at += 4;
  }
  return file;
}

// An opaque picture of one colour.
inline formatwriter::RgbaPicture Flat(int width, int height) {
  formatwriter::RgbaPicture p{width, height, {}};
  p.bytes.assign(static_cast<std::size_t>(width) * height * 4u, 255);
  for (std::size_t i = 0; i < p.bytes.size(); i += 4) p.bytes[i] = 40;
  return p;
}

// A picture made of one derived item (a 'grid' or an 'iovl' with the given data, declared
// declaredWidth x declaredHeight by its 'ispe') and `tiles` coded items that all share the
// one payload of `coded`, a single-picture file of the format's own library.
inline Bytes DerivedPicture(const char* brand, const char* codedType, const char* configType,
                            const Bytes& coded, int codedSide, std::uint32_t tiles,
                            const char* derivedType, const Bytes& derivedData,
                            std::uint32_t declaredWidth, std::uint32_t declaredHeight) {
  const Bytes config = FindBox(coded, configType, false);
  const Bytes payload = FindBox(coded, "mdat", true);
  Bytes ftyp(brand, brand + 4);
  ftyp.insert(ftyp.end(), {0, 0, 0, 0});
  ftyp.insert(ftyp.end(), brand, brand + 4);
  ftyp.insert(ftyp.end(), {'m', 'i', 'f', '1'});
  auto meta = [&](std::uint32_t payloadOffset) {
    Bytes hdlr(4, 0);
    hdlr.insert(hdlr.end(), {'p', 'i', 'c', 't', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    Bytes pitm;
    Put16(pitm, 1);
    Bytes infos;
    Put16(infos, tiles + 1);
    Bytes refs;
    Put16(refs, 1);
    Put16(refs, tiles);
    Bytes locations = {0x44, 0x00};
    Put16(locations, tiles + 1);
    Bytes associations;
    Put32(associations, tiles + 1);
    for (std::uint32_t id = 1; id <= tiles + 1; ++id) {
      Bytes info;
      Put16(info, id);
      Put16(info, 0);
      info.insert(info.end(), id == 1 ? derivedType : codedType,
                  (id == 1 ? derivedType : codedType) + 4);
      info.push_back(0);
      const Bytes infe = FullBox("infe", 2, 0, info);
      infos.insert(infos.end(), infe.begin(), infe.end());
      if (id > 1) Put16(refs, id);
      Put16(locations, id);
      Put16(locations, id == 1 ? 1 : 0);  // the derived item's data in 'idat'
      Put16(locations, 0);
      Put16(locations, 1);
      Put32(locations, id == 1 ? 0 : payloadOffset);
      Put32(locations, static_cast<std::uint32_t>(id == 1 ? derivedData.size() : payload.size()));
      Put16(associations, id);
      if (id == 1) {
        associations.insert(associations.end(), {1, 3});
      } else {
        associations.insert(associations.end(), {2, 0x81, 2});
      }
    }
    Bytes properties = config;
    for (const Bytes& ispe : {Ispe(codedSide, codedSide), Ispe(declaredWidth, declaredHeight)})
      properties.insert(properties.end(), ispe.begin(), ispe.end());
    Bytes iprp = Box("ipco", properties);
    const Bytes ipma = FullBox("ipma", 0, 0, associations);
    iprp.insert(iprp.end(), ipma.begin(), ipma.end());
    Bytes content;
    for (const Bytes& box :
         {FullBox("hdlr", 0, 0, hdlr), FullBox("pitm", 0, 0, pitm), FullBox("iinf", 0, 0, infos),
          FullBox("iref", 0, 0, Box("dimg", refs)), FullBox("iloc", 1, 0, locations),
          Box("idat", derivedData), Box("iprp", iprp)})
      content.insert(content.end(), box.begin(), box.end());
    return FullBox("meta", 0, 0, content);
  };
  Bytes file = Box("ftyp", ftyp);
  const std::size_t before = file.size() + meta(0).size() + 8;
  const Bytes head = meta(static_cast<std::uint32_t>(before));
  file.insert(file.end(), head.begin(), head.end());
  const Bytes mdat = Box("mdat", payload);
  file.insert(file.end(), mdat.begin(), mdat.end());
  return file;
}

// AVIF: a grid of columns x rows tiles of 16 x 16, all one payload, declared as their sum.
inline Bytes AvifGrid(int columns, int rows) {
  const Bytes tile = formatwriter::Avif(Flat(16, 16));
  Bytes grid = {0, 0, static_cast<std::uint8_t>(rows - 1), static_cast<std::uint8_t>(columns - 1)};
  Put16(grid, static_cast<std::uint32_t>(columns * 16));
  Put16(grid, static_cast<std::uint32_t>(rows * 16));
  return DerivedPicture("avif", "av01", "av1C", tile, 16,
                        static_cast<std::uint32_t>(columns * rows), "grid", grid, columns * 16u,
                        rows * 16u);
}

// HEIF: an overlay declared 16 x 16 whose canvas is side x side.
inline Bytes HeifOverlay(std::uint32_t side) {
  const Bytes tile = formatwriter::Heif(Flat(16, 16));
  Bytes overlay = {0, 1, 0, 0, 0, 0, 0, 0, 0, 0};  // 32-bit sizes; the fill colour
  Put32(overlay, side);
  Put32(overlay, side);
  Put32(overlay, 0);
  Put32(overlay, 0);
  return DerivedPicture("heic", "hvc1", "hvcC", tile, 16, 1, "iovl", overlay, 16, 16);
}

// An AV1 picture coded side x side, declared 16 x 16, in a file whose brands name HEIF only.
inline Bytes AvifBrandedHeif(int side) {
  Bytes file = WithIspe(formatwriter::Avif(Flat(side, side)), 16, 16);
  const std::size_t ftypEnd = std::min<std::size_t>(file.size(), (file[2] << 8) | file[3]);
  for (std::size_t at = 8; at + 4 <= ftypEnd; at += 4) {
    if (std::memcmp(file.data() + at, "avif", 4) == 0) std::memcpy(file.data() + at, "mif1", 4);
  }
  return file;
}

// A HEVC picture coded side x side, declared 16 x 16.
inline Bytes HeifCodedLarger(int side) {
  return WithIspe(formatwriter::Heif(Flat(side, side), 10), 16, 16);
}

// A side x side canvas of `layers` layers of 1 x 1 pixel, none of them shown on its own; or,
// with layers 0, a 64 x 64 picture whose one frame is a crop of side x side.
inline Bytes JxlLayers(std::uint32_t side, int layers) {
  JxlEncoder* encoder = JxlEncoderCreate(nullptr);
  JxlBasicInfo info;
  JxlEncoderInitBasicInfo(&info);
  info.xsize = info.ysize = layers > 0 ? side : 64;
  info.bits_per_sample = 8;
  info.uses_original_profile = JXL_TRUE;
  JxlEncoderSetBasicInfo(encoder, &info);
  JxlColorEncoding colour;
  JxlColorEncodingSetToSRGB(&colour, JXL_FALSE);
  JxlEncoderSetColorEncoding(encoder, &colour);
  JxlEncoderFrameSettings* settings = JxlEncoderFrameSettingsCreate(encoder, nullptr);
  JxlEncoderSetFrameLossless(settings, JXL_TRUE);
  JxlEncoderFrameSettingsSetOption(settings, JXL_ENC_FRAME_SETTING_EFFORT, 1);
  const JxlPixelFormat format = {3, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
  const std::uint32_t frameSide = layers > 0 ? 1 : side;
  const Bytes pixels(static_cast<std::size_t>(frameSide) * frameSide * 3, 90);
  for (int i = 0; i < std::max(layers, 1); ++i) {
    JxlFrameHeader header;
    JxlEncoderInitFrameHeader(&header);
    header.layer_info.have_crop = JXL_TRUE;
    header.layer_info.crop_x0 = layers > 0 ? i % static_cast<int>(side) : 0;
    header.layer_info.crop_y0 = layers > 0 ? i / static_cast<int>(side) : 0;
    header.layer_info.xsize = header.layer_info.ysize = frameSide;
    JxlEncoderSetFrameHeader(settings, &header);
    JxlEncoderAddImageFrame(settings, &format, pixels.data(), pixels.size());
  }
  JxlEncoderCloseInput(encoder);
  Bytes out(1 << 20);
  std::uint8_t* next = out.data();
  std::size_t room = out.size();
  const bool done = JxlEncoderProcessOutput(encoder, &next, &room) == JXL_ENC_SUCCESS;
  out.resize(done ? out.size() - room : 0);
  JxlEncoderDestroy(encoder);
  return out;
}

// A GIF of a 1 x 1 screen whose first frame is width x height pixels of colour 0, coded as
// tightly as LZW allows (runs of 1, 2, 3 ... pixels, the table cleared when full).
inline Bytes GifTallFrame(int width, int height) {
  Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255, ','};
  gif.insert(gif.end(),
             {0, 0, 0, 0, static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(width >> 8),
              static_cast<std::uint8_t>(height), static_cast<std::uint8_t>(height >> 8), 0, 2});
  Bytes codes;
  std::uint32_t bits = 0;
  int held = 0;
  auto put = [&](std::uint32_t code, int size) {
    bits |= code << held;
    for (held += size; held >= 8; held -= 8, bits >>= 8)
      codes.push_back(static_cast<std::uint8_t>(bits));
  };
  std::uint64_t left = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
  int codeWidth = 3;
  put(4, codeWidth);  // clear: codes from 6, three bits wide
  while (left > 0) {
    put(0, codeWidth);
    --left;
    // Code c, once added, stands for c - 4 pixels; each is written as soon as it is added,
    // and the width grows as the decoder's does, one code behind the table.
    for (std::uint32_t next = 7; left > 0 && next < 4095; ++next) {
      const std::uint64_t run = std::min<std::uint64_t>(next - 5, left);
      put(run == 1 ? 0 : static_cast<std::uint32_t>(run + 4), codeWidth);
      left -= run;
      if (next >= (1u << codeWidth) && codeWidth < 12) ++codeWidth;
    }
    if (left > 0) {
      put(4, codeWidth);
      codeWidth = 3;
    }
  }
  put(5, codeWidth);
  if (held > 0) codes.push_back(static_cast<std::uint8_t>(bits));
  for (std::size_t at = 0; at < codes.size(); at += 255) {
    const std::size_t n = std::min<std::size_t>(255, codes.size() - at);
    gif.push_back(static_cast<std::uint8_t>(n));
    gif.insert(gif.end(), codes.begin() + static_cast<std::ptrdiff_t>(at),
               codes.begin() + static_cast<std::ptrdiff_t>(at + n));
  }
  gif.insert(gif.end(), {0, ';'});
  return gif;
}

// A PNG of width x 1 pixels at 16 bits of red, green, blue and alpha, its data cut short.
inline Bytes PngWideRow(std::uint32_t width) {
  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  pngwriter::PutBigEndian(header, width);
  pngwriter::PutBigEndian(header, 1);
  header.insert(header.end(), {16, 6, 0, 0, 0});
  pngwriter::PutChunk(png, "IHDR", header);
  Bytes data = {0x78, 0x01, 0x00, 0xFF, 0xFF, 0x00, 0x00};
  data.resize(data.size() + 0xFFFF, 0);
  pngwriter::PutChunk(png, "IDAT", data);
  pngwriter::PutChunk(png, "IEND", {});
  return png;
}

struct File {
  std::string name;
  Bytes bytes;
  std::uint64_t sparseTail = 0;  // zero bytes after them, written as a hole
};

// One of each: the cases a decoder must refuse, or decode within its bounds.
inline std::vector<File> Files() {
  return {
      {"layers.jxl", JxlLayers(10000, 64)},
      {"crop.jxl", JxlLayers(2048, 0)},
      {"grid.avif", AvifGrid(64, 64)},
      {"overlay.heic", HeifOverlay(30000)},
      {"av1-branded-heif.heic", AvifBrandedHeif(512)},
      {"coded-larger.heic", HeifCodedLarger(512)},
      {"tail.webp", formatwriter::Webp(Flat(640, 480)), std::uint64_t{2} << 30},
      {"tall-frame.gif", GifTallFrame(65535, 8192)},
      {"wide-row.png", PngWideRow(100000000)},
  };
}

}  // namespace hostile
