// The 'meta' box of an AVIF or HEIF file, read before either library parses it: see
// heif_items.h. Only what the checks need is read: the items' types and locations, the
// primary item, the derived pictures' references, and the properties 'ispe' and 'hvcC'.
#include "backends/posix/heif_items.h"

#include <cstring>
#include <map>
#include <vector>

#include "base/little_endian.h"

namespace native {

namespace {

// Big-endian fields read from a span of bytes; once a read would leave the span, every read
// gives 0 and ok is false.
struct Fields {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  std::size_t at = 0;
  bool ok = true;

  std::uint64_t Get(std::size_t bytes) {
    std::uint64_t value = 0;
    if (!ok || bytes > size - at) {
      ok = false;
      return 0;
    }
    for (std::size_t i = 0; i < bytes; ++i) value = value << 8 | data[at + i];
    at += bytes;
    return value;
  }
  Fields Rest() const { return ok ? Fields{data + at, size - at} : Fields{data, 0, 0, false}; }
};

// Calls each(type, content) for every box in the span; false when one overruns it.
template <typename Each>
bool ForEachBox(Fields span, Each each) {
  while (span.ok && span.at + 8 <= span.size) {
    const std::size_t start = span.at;
    std::uint64_t size = span.Get(4);
    const std::uint8_t* type = span.data + span.at;
    span.Get(4);
    if (size == 1) size = span.Get(8);
    if (size == 0) size = span.size - start;
    const std::size_t head = span.at - start;
    if (!span.ok || size < head || size > span.size - start) return false;
    if (!each(type, Fields{span.data + span.at, static_cast<std::size_t>(size - head)})) {
      return false;
    }
    span.at = start + static_cast<std::size_t>(size);
  }
  return span.ok;
}

bool Is(const std::uint8_t* type, const char* name) { return std::memcmp(type, name, 4) == 0; }

struct Item {
  char type[4] = {};
  std::vector<std::uint32_t> properties;   // 1-based indices into the 'ipco' box
  std::vector<std::uint32_t> derivedFrom;  // its 'dimg' references
  int method = -1;                         // where its data lie: 0 in the file, 1 in 'idat'
  std::uint64_t offset = 0;
  std::uint64_t length = 0;
};

struct Meta {
  std::uint32_t primary = 0;
  std::uint64_t itemCount = 0;
  std::map<std::uint32_t, Item> items;
  std::vector<std::pair<const std::uint8_t*, Fields>> properties;
  Fields data;  // 'idat'
};

bool ReadItemInfos(Fields f, Meta* meta) {
  const int version = static_cast<int>(f.Get(1));
  f.Get(3);
  meta->itemCount = std::max<std::uint64_t>(meta->itemCount, f.Get(version == 0 ? 2 : 4));
  if (!f.ok || meta->itemCount > heifItemLimit) return false;
  return ForEachBox(f.Rest(), [&](const std::uint8_t* type, Fields infe) {
    if (!Is(type, "infe")) return true;
    const int v = static_cast<int>(infe.Get(1));
    infe.Get(3);
    if (v < 2) return true;  // no item type
    const auto id = static_cast<std::uint32_t>(infe.Get(v == 2 ? 2 : 4));
    infe.Get(2);
    if (!infe.ok || infe.size - infe.at < 4) return false;
    std::memcpy(meta->items[id].type, infe.data + infe.at, 4);
    return meta->items.size() <= heifItemLimit;
  });
}

bool ReadLocations(Fields f, Meta* meta) {
  const int version = static_cast<int>(f.Get(1));
  f.Get(3);
  const auto sizes = static_cast<unsigned>(f.Get(2));
  const unsigned offsetSize = sizes >> 12, lengthSize = sizes >> 8 & 15, baseSize = sizes >> 4 & 15;
  const unsigned indexSize = version == 1 || version == 2 ? sizes & 15 : 0;
  const std::uint64_t count = f.Get(version < 2 ? 2 : 4);
  meta->itemCount = std::max(meta->itemCount, count);
  if (!f.ok || count > heifItemLimit) return false;
  for (std::uint64_t i = 0; i < count && f.ok; ++i) {
    const auto id = static_cast<std::uint32_t>(f.Get(version < 2 ? 2 : 4));
    const int method = version == 1 || version == 2 ? static_cast<int>(f.Get(2) & 15) : 0;
    f.Get(2);
    const std::uint64_t base = f.Get(baseSize);
    const std::uint64_t extents = f.Get(2);
    for (std::uint64_t e = 0; e < extents && f.ok; ++e) {
      f.Get(indexSize);
      const std::uint64_t offset = f.Get(offsetSize);
      const std::uint64_t length = f.Get(lengthSize);
      if (e == 0 && extents == 1) {
        Item& item = meta->items[id];
        item.method = method;
        item.offset = base + offset;
        item.length = length;
      }
    }
    if (meta->items.size() > heifItemLimit) return false;
  }
  return f.ok;
}

bool ReadReferences(Fields f, Meta* meta) {
  const int version = static_cast<int>(f.Get(1));
  f.Get(3);
  const std::size_t idSize = version == 0 ? 2 : 4;
  return f.ok && ForEachBox(f.Rest(), [&](const std::uint8_t* type, Fields ref) {
           const auto from = static_cast<std::uint32_t>(ref.Get(idSize));
           const std::uint64_t count = ref.Get(2);
           if (!ref.ok || count > heifItemLimit) return false;
           if (!Is(type, "dimg")) return true;
           std::vector<std::uint32_t>& to = meta->items[from].derivedFrom;
           for (std::uint64_t i = 0; i < count; ++i)
             to.push_back(static_cast<std::uint32_t>(ref.Get(idSize)));
           return ref.ok && meta->items.size() <= heifItemLimit;
         });
}

bool ReadAssociations(Fields f, Meta* meta) {
  const int version = static_cast<int>(f.Get(1));
  const bool wide = (f.Get(3) & 1) != 0;
  const std::uint64_t count = f.Get(4);
  if (!f.ok || count > heifItemLimit) return false;
  for (std::uint64_t i = 0; i < count && f.ok; ++i) {
    Item& item = meta->items[static_cast<std::uint32_t>(f.Get(version < 1 ? 2 : 4))];
    const std::uint64_t n = f.Get(1);
    for (std::uint64_t k = 0; k < n; ++k)
      item.properties.push_back(
          static_cast<std::uint32_t>(f.Get(wide ? 2 : 1) & (wide ? 0x7FFF : 0x7F)));
    if (meta->items.size() > heifItemLimit) return false;
  }
  return f.ok;
}

bool ReadMeta(Fields f, Meta* meta) {
  f.Get(4);  // version and flags
  return f.ok && ForEachBox(f.Rest(), [&](const std::uint8_t* type, Fields box) {
           if (Is(type, "pitm")) {
             const int version = static_cast<int>(box.Get(1));
             box.Get(3);
             meta->primary = static_cast<std::uint32_t>(box.Get(version == 0 ? 2 : 4));
             return box.ok;
           }
           if (Is(type, "iinf")) return ReadItemInfos(box, meta);
           if (Is(type, "iloc")) return ReadLocations(box, meta);
           if (Is(type, "iref")) return ReadReferences(box, meta);
           if (Is(type, "idat")) meta->data = box;
           if (!Is(type, "iprp")) return true;
           return ForEachBox(box, [&](const std::uint8_t* kind, Fields part) {
             if (Is(kind, "ipma")) return ReadAssociations(part, meta);
             if (!Is(kind, "ipco")) return true;
             return ForEachBox(part, [&](const std::uint8_t* property, Fields content) {
               meta->properties.emplace_back(property, content);
               return meta->properties.size() <= 4 * heifItemLimit;
             });
           });
         });
}

// The item's property of the given type, or null.
const Fields* PropertyOf(const Meta& meta, const Item& item, const char* type) {
  for (std::uint32_t index : item.properties) {
    if (index >= 1 && index <= meta.properties.size() &&
        Is(meta.properties[index - 1].first, type)) {
      return &meta.properties[index - 1].second;
    }
  }
  return nullptr;
}

bool ReadIspe(const Meta& meta, const Item& item, std::uint64_t* width, std::uint64_t* height) {
  const Fields* ispe = PropertyOf(meta, item, "ispe");
  if (!ispe) return false;
  Fields f = *ispe;
  f.Get(4);
  *width = f.Get(4);
  *height = f.Get(4);
  return f.ok && *width > 0 && *height > 0;
}

// Bits of a HEVC parameter set, emulation prevention bytes left out.
struct Bits {
  std::vector<std::uint8_t> bytes;
  std::size_t at = 0;
  bool ok = true;

  std::uint32_t Get(int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i, ++at) {
      if (at / 8 >= bytes.size()) {
        ok = false;
        return 0;
      }
      value = value << 1 | ((bytes[at / 8] >> (7 - at % 8)) & 1u);
    }
    return value;
  }
  std::uint32_t Golomb() {
    int zeros = 0;
    while (ok && Get(1) == 0) {
      if (++zeros > 31) ok = false;
    }
    return ok ? (1u << zeros) - 1u + Get(zeros) : 0;
  }
};

// The coded size in the sequence parameter set of a 'hvcC' property.
bool HevcCodedSize(Fields f, std::uint64_t* width, std::uint64_t* height) {
  f.Get(22);
  const std::uint64_t arrays = f.Get(1);
  for (std::uint64_t a = 0; a < arrays && f.ok; ++a) {
    const std::uint64_t nalType = f.Get(1) & 0x3F;
    const std::uint64_t units = f.Get(2);
    for (std::uint64_t u = 0; u < units && f.ok; ++u) {
      const std::uint64_t length = f.Get(2);
      if (!f.ok || length > f.size - f.at) return false;
      const std::uint8_t* unit = f.data + f.at;
      f.at += static_cast<std::size_t>(length);
      if (nalType != 33 || length < 3) continue;
      Bits bits;
      for (std::size_t i = 2; i < length; ++i) {
        if (i >= 4 && unit[i] == 3 && unit[i - 1] == 0 && unit[i - 2] == 0) continue;
        bits.bytes.push_back(unit[i]);
      }
      bits.Get(4);
      const std::uint32_t subLayers = bits.Get(3);
      bits.Get(1 + 96);
      std::uint32_t sublayerBits = 0;
      for (std::uint32_t i = 0; i < subLayers; ++i) {
        const std::uint32_t present = bits.Get(2);
        sublayerBits += (present & 2 ? 88 : 0) + (present & 1 ? 8 : 0);
      }
      if (subLayers > 0) bits.Get(2 * (8 - static_cast<int>(subLayers)));
      bits.at += sublayerBits;
      bits.Golomb();
      if (bits.Golomb() == 3) bits.Get(1);
      *width = bits.Golomb();
      *height = bits.Golomb();
      return bits.ok;
    }
  }
  return false;
}

// The canvas a 'grid' or 'iovl' item's data give, and for a grid its number of tiles.
bool DerivedCanvas(std::FILE* file, std::uint64_t fileSize, const Meta& meta, const Item& item,
                   std::uint64_t* width, std::uint64_t* height, std::uint64_t* gridTiles) {
  std::uint8_t bytes[32] = {};
  const std::size_t length =
      item.length < sizeof bytes ? static_cast<std::size_t>(item.length) : sizeof bytes;
  if (item.method == 1) {
    if (item.offset > meta.data.size || length > meta.data.size - item.offset) return false;
    std::memcpy(bytes, meta.data.data + item.offset, length);
  } else if (item.method == 0) {
    if (item.offset > fileSize || length > fileSize - item.offset ||
        std::fseek(file, static_cast<long>(item.offset), SEEK_SET) != 0 ||
        std::fread(bytes, 1, length, file) != length) {
      return false;
    }
  } else {
    return false;
  }
  const bool grid = std::memcmp(item.type, "grid", 4) == 0;
  Fields f{bytes, length};
  f.Get(1);
  const std::size_t sizeBytes = (f.Get(1) & 1) ? 4 : 2;
  if (grid) {
    const std::uint64_t rows = f.Get(1) + 1;
    *gridTiles = rows * (f.Get(1) + 1);
  } else {
    f.Get(8);  // the fill colour
  }
  *width = f.Get(sizeBytes);
  *height = f.Get(sizeBytes);
  return f.ok;
}

// Reads the 'meta' box at the file's top level into bytes; leaves them empty when the file
// has none.
bool ReadMetaBox(std::FILE* file, std::uint64_t fileSize, std::vector<std::uint8_t>* bytes) {
  std::uint64_t at = 0;
  while (at + 8 <= fileSize) {
    std::uint8_t head[16];
    if (std::fseek(file, static_cast<long>(at), SEEK_SET) != 0 ||
        std::fread(head, 1, 8, file) != 8) {
      return false;
    }
    std::uint64_t size = BigEndian32(head);
    std::uint64_t headSize = 8;
    if (size == 1) {
      if (std::fread(head + 8, 1, 8, file) != 8) return false;
      size = std::uint64_t{BigEndian32(head + 8)} << 32 | BigEndian32(head + 12);
      headSize = 16;
    } else if (size == 0) {
      size = fileSize - at;
    }
    if (size < headSize || size > fileSize - at) return false;
    if (std::memcmp(head + 4, "meta", 4) == 0) {
      if (size - headSize > heifMetaLimit) return false;
      bytes->resize(static_cast<std::size_t>(size - headSize));
      return std::fread(bytes->data(), 1, bytes->size(), file) == bytes->size();
    }
    at += size;
  }
  return at == fileSize;
}

}  // namespace

bool ScanHeifItems(std::FILE* file, std::uint64_t fileSize, HeifItems* items) {
  *items = {};
  std::vector<std::uint8_t> bytes;
  Meta meta;
  if (!ReadMetaBox(file, fileSize, &bytes)) return false;
  if (bytes.empty()) return true;  // a sequence alone: its track tells the size
  if (!ReadMeta(Fields{bytes.data(), bytes.size()}, &meta)) return false;
  const auto primary = meta.items.find(meta.primary);
  std::uint64_t width = 0;
  std::uint64_t height = 0;
  if (primary == meta.items.end() || !ReadIspe(meta, primary->second, &width, &height) ||
      width > INT32_MAX || height > INT32_MAX) {
    return false;
  }
  const Item& picture = primary->second;
  std::vector<std::uint32_t> coded = {meta.primary};
  if (std::memcmp(picture.type, "grid", 4) == 0 || std::memcmp(picture.type, "iovl", 4) == 0) {
    std::uint64_t canvasWidth = 0;
    std::uint64_t canvasHeight = 0;
    std::uint64_t gridTiles = picture.derivedFrom.size();
    coded = picture.derivedFrom;
    if (!DerivedCanvas(file, fileSize, meta, picture, &canvasWidth, &canvasHeight, &gridTiles) ||
        canvasWidth > width || canvasHeight > height || gridTiles != coded.size()) {
      return false;
    }
  }
  if (coded.empty() || coded.size() > heifTileLimit) return false;
  std::uint64_t codedPixels = 0;
  int av1 = -1;
  for (std::uint32_t id : coded) {
    const auto tile = meta.items.find(id);
    std::uint64_t w = 0;
    std::uint64_t h = 0;
    if (tile == meta.items.end() || !ReadIspe(meta, tile->second, &w, &h)) return false;
    const bool isAv1 = std::memcmp(tile->second.type, "av01", 4) == 0;
    if (av1 >= 0 && av1 != static_cast<int>(isAv1)) return false;
    av1 = isAv1;
    codedPixels += w * h;
  }
  if (codedPixels > 2 * width * height + coded.size() * 64 * 64) return false;
  // Every HEVC picture of the file, the alpha and thumbnails too, is coded no larger than its
  // 'ispe' says (give or take a block of 64).
  for (const auto& [id, item] : meta.items) {
    if (std::memcmp(item.type, "hvc1", 4) != 0 && std::memcmp(item.type, "hev1", 4) != 0) continue;
    const Fields* config = PropertyOf(meta, item, "hvcC");
    std::uint64_t w = 0, h = 0, codedWidth = 0, codedHeight = 0;
    if (!config || !ReadIspe(meta, item, &w, &h) ||
        !HevcCodedSize(*config, &codedWidth, &codedHeight) || codedWidth > w + 64 ||
        codedHeight > h + 64) {
      return false;
    }
  }
  items->av1 = av1 == 1;
  items->width = static_cast<int>(width);
  items->height = static_cast<int>(height);
  items->tiles = static_cast<std::uint32_t>(coded.size());
  items->codedPixels = codedPixels;
  return true;
}

}  // namespace native
