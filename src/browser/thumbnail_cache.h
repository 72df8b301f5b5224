// Thumbnails of pages seen a moment ago, kept in memory so that a page drawn again need not
// decode its pictures again. Nothing is written to disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <string>
#include <unordered_map>

#include "pictures/picture_samples.h"
#include "platform/platform.h"

// What a thumbnail was made from: the file (its full path: its name in its directory), the
// file's size and last-write time when it was decoded, and the cell size it was sampled for.
struct ThumbnailKey {
  std::string path;
  platform::FileStamp stamp;
  int cellWidth = 0;
  int cellHeight = 0;
};

// Bytes the cache may hold: samples, names and bookkeeping counted together.
constexpr std::size_t thumbnailCacheBytes = 64u * 1024u * 1024u;

// Holds one thumbnail per file and cell size; when a new one would pass the byte limit, the
// thumbnails used longest ago are dropped first. Main thread only.
class ThumbnailCache {
 public:
  explicit ThumbnailCache(std::size_t limitBytes = thumbnailCacheBytes) : limit_(limitBytes) {}

  // The thumbnail made from exactly this file state and cell size, or null. A thumbnail of the
  // same file with another size or time is out of date: it is dropped and null returned.
  const PictureSamples* Find(const ThumbnailKey& key);
  // Keeps samples for key, replacing any older thumbnail of that file and cell size. Samples
  // larger than the whole limit are not kept.
  void Insert(const ThumbnailKey& key, PictureSamples samples);
  // Insert would keep these samples without dropping any other thumbnail.
  bool HasRoomFor(const ThumbnailKey& key, const PictureSamples& samples) const;
  void Clear();

  std::size_t bytes() const { return bytes_; }
  std::size_t count() const { return entries_.size(); }

 private:
  struct Entry {
    ThumbnailKey key;
    PictureSamples samples;
    std::size_t bytes;
  };
  using Order = std::list<Entry>;  // most recently used first

  static std::string Slot(const ThumbnailKey& key);
  void Drop(Order::iterator entry);

  std::size_t limit_;
  std::size_t bytes_ = 0;
  Order entries_;
  std::unordered_map<std::string, Order::iterator> index_;
};
