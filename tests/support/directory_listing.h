// What a listing of the current directory gives, through the seam, in its order.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

struct ListedEntry {
  std::string name;
  platform::DirectoryEntry entry;
};

inline std::vector<ListedEntry> ListedEntries() {
  std::vector<ListedEntry> entries;
  char name[300];
  platform::DirectoryEntry entry;
  platform::DirectoryListing* listing = platform::ListCurrentDirectory();
  if (!listing) return entries;
  while (platform::NextEntry(listing, name, sizeof name, &entry)) entries.push_back({name, entry});
  platform::CloseListing(listing);
  return entries;
}

inline std::vector<std::string> ListedNames() {
  std::vector<std::string> names;
  for (const ListedEntry& listed : ListedEntries()) names.push_back(listed.name);
  return names;
}

// The entry the listing gives for name; nothing when it gives none.
inline std::optional<platform::DirectoryEntry> EntryNamed(const std::string& name) {
  for (const ListedEntry& listed : ListedEntries()) {
    if (listed.name == name) return listed.entry;
  }
  return std::nullopt;
}
