// The in-memory thumbnail cache: one entry per file and cell size, least recently used
// dropped first.
#include "browser/thumbnail_cache.h"

#include <utility>

namespace {

// What an entry costs besides its samples: the list node, the index entry and the two
// copies of the path.
std::size_t EntryBytes(const ThumbnailKey& key, const PictureSamples& samples) {
  return samples.rgba.size() + 2 * key.path.size() + 160;
}

}  // namespace

// The path and the cell size name a slot; the stamp tells whether the slot is up to date.
std::string ThumbnailCache::Slot(const ThumbnailKey& key) {
  return key.path + '\n' + std::to_string(key.cellWidth) + 'x' + std::to_string(key.cellHeight);
}

void ThumbnailCache::Drop(Order::iterator entry) {
  bytes_ -= entry->bytes;
  index_.erase(Slot(entry->key));
  entries_.erase(entry);
}

const PictureSamples* ThumbnailCache::Find(const ThumbnailKey& key) {
  auto found = index_.find(Slot(key));
  if (found == index_.end()) return nullptr;
  const ThumbnailKey& kept = found->second->key;
  if (kept.stamp.size != key.stamp.size || kept.stamp.writeTime != key.stamp.writeTime) {
    Drop(found->second);
    return nullptr;
  }
  entries_.splice(entries_.begin(), entries_, found->second);
  return &entries_.front().samples;
}

void ThumbnailCache::Insert(const ThumbnailKey& key, PictureSamples samples) {
  const std::string slot = Slot(key);
  if (auto found = index_.find(slot); found != index_.end()) Drop(found->second);
  const std::size_t size = EntryBytes(key, samples);
  if (size > limit_) return;
  while (bytes_ + size > limit_ && !entries_.empty()) Drop(std::prev(entries_.end()));
  entries_.push_front(Entry{key, std::move(samples), size});
  index_[slot] = entries_.begin();
  bytes_ += size;
}

bool ThumbnailCache::HasRoomFor(const ThumbnailKey& key, const PictureSamples& samples) const {
  return bytes_ + EntryBytes(key, samples) <= limit_;
}

void ThumbnailCache::Clear() {
  entries_.clear();
  index_.clear();
  bytes_ = 0;
}
