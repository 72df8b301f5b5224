// The file list's storage and the look-ups in it.
#include "browser/file_list.h"

#include <algorithm>
#include <cstring>

#include "canvas/text.h"
#include "platform/platform.h"

void AllocateFileList(FileList& fileList) {
  if (!fileList.names.table) {
    auto* table = new EntryTable;
    fileList.names.table = table;
    fileList.kinds.table = table;
  }
  ClearEntries(fileList);  // entry 0 is never stored by a scan
}

const char* EntryNames::operator[](int k) const {
  if (!table || k < 0 || static_cast<std::size_t>(k) >= table->starts.size()) return "";
  const std::size_t start = table->starts[static_cast<std::size_t>(k)];
  return start == EntryTable::noName ? "" : table->text.data() + start;
}

std::int32_t EntryKinds::operator[](int k) const {
  if (!table || k < 0 || static_cast<std::size_t>(k) >= table->kinds.size()) return entryFile;
  return table->kinds[static_cast<std::size_t>(k)];
}

void StoreEntry(FileList& fileList, int k, const char* name, EntryKind kind) {
  EntryTable* table = fileList.names.table;
  if (!table || k < 0) return;
  const auto slot = static_cast<std::size_t>(k);
  if (slot >= table->starts.size()) {
    table->starts.resize(slot + 1, EntryTable::noName);
    table->kinds.resize(slot + 1, entryFile);
  }
  const std::size_t length = strnlen(name, nameSlotSize - 1);
  table->starts[slot] = table->text.size();
  table->text.insert(table->text.end(), name, name + length);
  table->text.push_back('\0');
  table->kinds[slot] = kind;
}

void StoreEntries(FileList& fileList, platform::ListedEntries& entries) {
  EntryTable* table = fileList.names.table;
  if (!table) return;
  const std::size_t base = table->text.size();
  if (base == 0) {
    table->text.swap(entries.text);
  } else {
    table->text.insert(table->text.end(), entries.text.begin(), entries.text.end());
  }
  const std::size_t count = entries.starts.size();
  table->starts.reserve(table->starts.size() + count);
  table->kinds.reserve(table->kinds.size() + count);
  for (std::size_t k = 0; k < count; ++k) {
    table->starts.push_back(base + entries.starts[k]);
    table->kinds.push_back(entries.directories[k] ? entryDirectory : entryFile);
  }
}

void ClearEntries(FileList& fileList) {
  EntryTable* table = fileList.names.table;
  if (!table) return;
  // The memory goes with the entries: a small folder after a large one keeps none of its room.
  *table = EntryTable{};
  table->starts.push_back(EntryTable::noName);
  table->kinds.push_back(entryFile);
}

int MostEntries() { return platform::PlatformConventions().mostEntries; }

TextLine NameCut(const char* name, int keep) { return ShownText(name, keep); }

bool SelectionIsCurrent(const FileList& fileList) {
  return fileList.selection >= 1 && fileList.selection <= fileList.count;
}

int FindEntry(const FileList& fileList, const char* name) {
  if (!fileList.names) return 0;
  for (int k = 1; k <= fileList.count; ++k) {
    if (std::strcmp(fileList.names[k], name) == 0) return k;
  }
  return 0;
}
