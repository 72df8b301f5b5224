// Picture decoding for the native backends: BMP and JPEG here, and the hand-over of every other
// format to its own decoder (decoder_parts.h). Every decoder hands over the picture upright,
// bottom row first, as blue, green, red and an unused byte per pixel, the layout the Windows
// loader renders into its DIB section. The file's content decides the format, not its name.
#include "backends/posix/picture_decoder.h"

#include "backends/posix/decoder_parts.h"
#include "backends/posix/posix_files.h"

#include <atomic>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

#include "base/little_endian.h"
#include "base/picture_header.h"

namespace native {

namespace {

// ---- BMP -------------------------------------------------------------------------------------

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

bool DecodeBmp(const BmpFile& bmp, bool (*mayDecode)(int, int), platform::DecodedPicture* picture) {
  BmpHeader headerStore;
  BmpHeader* header = &headerStore;
  bool ok =
      ReadBmpHeader(bmp, header) && DecodeLimits{mayDecode}.Accepts(header->width, header->height);
  const bool runLength = header->compression == bmpRle8 || header->compression == bmpRle4;
  if (ok && !runLength) ok = BmpRowsInFile(bmp, *header);
  std::uint8_t* pixels = nullptr;
  if (ok) {
    pixels = AllocatePixels(header->width, header->height);
    ok = pixels != nullptr;
  }
  if (ok && runLength) {
    ok = header->dataOffset < bmp.size;
    std::uint8_t* data = nullptr;
    std::size_t size = 0;
    if (ok) {
      size = static_cast<std::size_t>(bmp.size - header->dataOffset);
      data = static_cast<std::uint8_t*>(std::malloc(size));
      ok = data && ReadAt(bmp, header->dataOffset, data, size);
    }
    if (ok) DecodeBmpRle(*header, data, size, pixels);
    std::free(data);
  } else if (ok) {
    ok = DecodeBmpRows(bmp, *header, pixels);
  }
  if (ok) {
    picture->bits = pixels;
    picture->width = header->width;
    picture->height = header->height;
    picture->backend = pixels;
  } else {
    std::free(pixels);
  }
  return ok;
}

// ---- JPEG ------------------------------------------------------------------------------------

// libjpeg reports fatal errors through error_exit, which must not return: it jumps back to
// the decode. Everything the jump crosses is plain C state kept in JpegJob, outside the
// function that calls setjmp, so nothing is skipped that needs a destructor.
struct JpegErrors {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

// More scans than any real encoder writes: the standard progressive script has 10 (6 for a
// greyscale picture) and optimising encoders write fewer. Each scan can make the decoder go over
// the whole picture again, so a small file that repeats a scan thousands of times would keep a
// worker busy for many seconds; ten times the standard script is refused instead.
constexpr int maxJpegScans = 100;

// libjpeg calls the progress monitor at least once per row of blocks of every pass and scan.
struct JpegProgress {
  jpeg_progress_mgr manager;
  const std::atomic<bool>* abandoned;
};

// Obtained zero-filled with calloc: nothing created, nothing held.
struct JpegJob {
  jpeg_decompress_struct info;
  JpegErrors errors;
  JpegProgress progress;
  bool created;
  std::uint8_t* pixels;
  JSAMPLE* cmykRow;
  std::uint8_t* wantedRows;  // by row from the bottom; null when every row is read
};

[[noreturn]] void JpegErrorExit(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

// A file with too many scans, or a decode its caller abandoned, ends like a libjpeg error.
void JpegProgressCheck(j_common_ptr common) {
  const auto* progress = reinterpret_cast<const JpegProgress*>(common->progress);
  const auto* info = reinterpret_cast<const jpeg_decompress_struct*>(common);
  const bool abandoned =
      progress->abandoned && progress->abandoned->load(std::memory_order_relaxed);
  if (abandoned || info->input_scan_number > maxJpegScans) JpegErrorExit(common);
}

// Warnings about corrupt data go nowhere; the decode carries on as libjpeg sees fit.
void JpegOutputMessage(j_common_ptr) {}

// Stored CMYK is inverted in files written by Adobe's software (nearly every CMYK JPEG), and
// YCCK always comes from there; otherwise the values are plain ink amounts.
void CmykRowToPixels(const JSAMPLE* cmyk, int width, bool inverted, std::uint8_t* out) {
  for (int x = 0; x < width; ++x, cmyk += 4, out += 4) {
    unsigned c = cmyk[0], m = cmyk[1], yel = cmyk[2], k = cmyk[3];
    if (!inverted) {
      c = 255u - c;
      m = 255u - m;
      yel = 255u - yel;
      k = 255u - k;
    }
    PutPixel(out, static_cast<std::uint8_t>((c * k + 127u) / 255u),
             static_cast<std::uint8_t>((m * k + 127u) / 255u),
             static_cast<std::uint8_t>((yel * k + 127u) / 255u));
  }
}

// libjpeg decodes rows in groups (one row of MCUs, 8 or 16 rows) and upsamples colour across
// neighbouring rows; skipping part of a group changes the rows kept beside it. So a group with
// any wanted row is decoded whole, and only groups with none are skipped. wanted is by row
// from the bottom; groups are counted from the top.
void WidenToWholeRowGroups(std::uint8_t* wanted, int height, int groupRows) {
  if (groupRows <= 0) groupRows = 1;
  for (int top = 0; top < height; top += groupRows) {
    const int end = top + groupRows < height ? top + groupRows : height;
    bool any = false;
    for (int r = top; r < end && !any; ++r) any = wanted[height - 1 - r] != 0;
    if (!any) continue;
    for (int r = top; r < end; ++r) wanted[height - 1 - r] = 1;
  }
}

// Runs the decode; a libjpeg error lands back here and returns false. The caller releases
// what the job holds either way.
bool RunJpegJob(JpegJob* job, std::FILE* file, bool (*mayDecode)(int, int),
                const platform::RowSelection* rows) {
  jpeg_decompress_struct* info = &job->info;
  info->err = jpeg_std_error(&job->errors.manager);
  job->errors.manager.error_exit = JpegErrorExit;
  job->errors.manager.output_message = JpegOutputMessage;
  if (setjmp(job->errors.jump) != 0) return false;

  jpeg_create_decompress(info);
  job->created = true;
  job->progress.manager.progress_monitor = JpegProgressCheck;
  job->progress.abandoned = rows ? rows->abandoned : nullptr;
  info->progress = &job->progress.manager;
  jpeg_stdio_src(info, file);
  if (jpeg_read_header(info, TRUE) != JPEG_HEADER_OK) return false;
  if (info->image_width > INT32_MAX || info->image_height > INT32_MAX) return false;
  const int width = static_cast<int>(info->image_width);
  const int height = static_cast<int>(info->image_height);

  const bool cmyk = info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK;
  const bool inverted = info->saw_Adobe_marker || info->jpeg_color_space == JCS_YCCK;
  info->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;

  if (!DecodeLimits{mayDecode}.Accepts(width, height)) return false;
  job->pixels = AllocatePixels(width, height);
  if (!job->pixels) return false;
  if (cmyk) {
    job->cmykRow = static_cast<JSAMPLE*>(std::malloc(static_cast<std::size_t>(width) * 4u));
    if (!job->cmykRow) return false;
  }
  if (rows && rows->select) {
    job->wantedRows = static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(height), 1));
    if (!job->wantedRows) return false;
    rows->select(rows->context, width, height, job->wantedRows);
  }
  jpeg_start_decompress(info);
  if (static_cast<int>(info->output_width) != width ||
      static_cast<int>(info->output_height) != height || info->output_components != 4) {
    return false;
  }
  if (job->wantedRows) {
    WidenToWholeRowGroups(job->wantedRows, height, info->max_v_samp_factor * DCTSIZE);
  }
  while (info->output_scanline < info->output_height) {
    const int rowFromTop = static_cast<int>(info->output_scanline);
    if (job->wantedRows) {
      // Rows nobody reads are passed over in one call up to the next wanted one.
      int skip = 0;
      while (rowFromTop + skip < height && !job->wantedRows[height - 1 - rowFromTop - skip]) {
        ++skip;
      }
      if (skip > 0) {
        if (jpeg_skip_scanlines(info, static_cast<JDIMENSION>(skip)) !=
            static_cast<JDIMENSION>(skip)) {
          return false;
        }
        continue;
      }
    }
    std::uint8_t* out = PixelRow(job->pixels, width, height - 1 - rowFromTop);
    JSAMPROW row = cmyk ? job->cmykRow : out;
    if (jpeg_read_scanlines(info, &row, 1) != 1) return false;
    if (cmyk) CmykRowToPixels(job->cmykRow, width, inverted, out);
  }
  jpeg_finish_decompress(info);
  return true;
}

bool DecodeJpeg(std::FILE* file, bool (*mayDecode)(int, int), const platform::RowSelection* rows,
                platform::DecodedPicture* picture) {
  auto* job = static_cast<JpegJob*>(std::calloc(1, sizeof(JpegJob)));
  if (!job) return false;
  const bool ok = RunJpegJob(job, file, mayDecode, rows);
  if (job->created) jpeg_destroy_decompress(&job->info);
  std::free(job->cmykRow);
  std::free(job->wantedRows);
  if (ok) {
    picture->bits = job->pixels;
    picture->width = static_cast<int>(job->info.image_width);
    picture->height = static_cast<int>(job->info.image_height);
    picture->backend = job->pixels;
  } else {
    std::free(job->pixels);
  }
  std::free(job);
  return ok;
}

}  // namespace

bool DecodePictureFile(const char* path, bool (*mayDecode)(int width, int height),
                       platform::DecodedPicture* picture, const platform::RowSelection* rows) {
  if (!path || !picture) return false;
  *picture = {};
  std::FILE* file = OpenRegularFile(path);
  if (!file) return false;
  const DecodeLimits limits{mayDecode, rows ? rows->abandoned : nullptr};
  bool ok = false;
  std::uint8_t magic[pictureSniffBytes] = {};
  long size = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
  const std::size_t got = size >= 2 && std::fseek(file, 0, SEEK_SET) == 0
                              ? std::fread(magic, 1, sizeof magic, file)
                              : 0;
  // A JPEG needs only its first two bytes here; libjpeg checks the rest.
  const PictureFormat format = got >= 2 && magic[0] == 0xFF && magic[1] == 0xD8
                                   ? PictureFormat::jpeg
                                   : SniffPictureFormat(magic, got);
  if (format != PictureFormat::unknown && std::fseek(file, 0, SEEK_SET) == 0) {
    switch (format) {
      case PictureFormat::bmp:
        ok = DecodeBmp(BmpFile{file, static_cast<std::uint64_t>(size)}, mayDecode, picture);
        break;
      case PictureFormat::jpeg:
        ok = DecodeJpeg(file, mayDecode, rows, picture);
        break;
      case PictureFormat::png:
        ok = DecodePng(file, limits, picture);
        break;
      case PictureFormat::gif:
        ok = DecodeGif(file, limits, picture);
        break;
      case PictureFormat::webp:
        ok = DecodeWebp(file, limits, picture);
        break;
      case PictureFormat::avif:
        ok = DecodeAvif(file, limits, picture);
        break;
      case PictureFormat::heif:
        ok = DecodeHeif(file, limits, picture);
        break;
      case PictureFormat::jxl:
        ok = DecodeJxl(file, limits, picture);
        break;
      case PictureFormat::unknown:
        break;
    }
  }
  std::fclose(file);
  if (!ok) *picture = {};
  return ok;
}

void ReleaseDecodedPicture(platform::DecodedPicture* picture) {
  if (!picture) return;
  std::free(picture->backend);
  *picture = {};
}

}  // namespace native
