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
  if (!table || k < 0 || static_cast<std::size_t>(k) >= table->directories.size()) return entryFile;
  return table->directories[static_cast<std::size_t>(k)] ? entryDirectory : entryFile;
}

void StoreEntry(FileList& fileList, int k, const char* name, EntryKind kind) {
  EntryTable* table = fileList.names.table;
  if (!table || k < 0) return;
  const auto slot = static_cast<std::size_t>(k);
  if (slot >= table->starts.size()) {
    table->starts.resize(slot + 1, EntryTable::noName);
    table->directories.resize(slot + 1, 0);
  }
  const std::size_t length = strnlen(name, nameSlotSize - 1);
  table->starts[slot] = table->text.size();
  table->text.insert(table->text.end(), name, name + length);
  table->text.push_back('\0');
  table->directories[slot] = kind == entryDirectory;
}

void StoreEntries(FileList& fileList, platform::ListedEntries& entries) {
  EntryTable* table = fileList.names.table;
  if (!table || entries.starts.empty()) return;
  const std::size_t base = table->text.size();
  if (base == 0 && table->starts.size() == 1) {
    // Nothing stored since ClearEntries: the entries are taken over as they are.
    table->text.swap(entries.text);
    table->starts.swap(entries.starts);
    table->directories.swap(entries.directories);
    table->starts[0] = EntryTable::noName;
    table->directories[0] = 0;
    return;
  }
  table->text.insert(table->text.end(), entries.text.begin(), entries.text.end());
  const std::size_t count = entries.starts.size() - 1;
  table->starts.reserve(table->starts.size() + count);
  table->directories.reserve(table->directories.size() + count);
  for (std::size_t k = 1; k <= count; ++k) {
    table->starts.push_back(base + entries.starts[k]);
    table->directories.push_back(entries.directories[k]);
  }
}

void ClearEntries(FileList& fileList) {
  EntryTable* table = fileList.names.table;
  if (!table) return;
  // The memory goes with the entries: a small folder after a large one keeps none of its room.
  *table = EntryTable{};
  table->starts.push_back(EntryTable::noName);
  table->directories.push_back(0);
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
