// What the Windows backend makes of a name's file attributes (GetFileAttributesW's answer) for
// the core: the entry a listing hands over and the kind of a path. Free of <windows.h>, so that
// it is tested natively as well.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace win32 {

// The attribute values these read, as <windows.h> defines them.
constexpr std::uint32_t invalidAttributes = 0xFFFFFFFFu;  // INVALID_FILE_ATTRIBUTES
constexpr std::uint32_t hiddenAttribute = 0x2;            // FILE_ATTRIBUTE_HIDDEN
constexpr std::uint32_t directoryAttribute = 0x10;        // FILE_ATTRIBUTE_DIRECTORY

// A directory whenever the directory attribute is set, whatever else is (read-only, hidden,
// system, a reparse point); a file otherwise. Attributes that cannot be read make a plain file.
inline platform::DirectoryEntry EntryOf(std::uint32_t attributes) {
  platform::DirectoryEntry entry;
  if (attributes == invalidAttributes) return entry;
  entry.isDirectory = (attributes & directoryAttribute) != 0;
  entry.hidden = (attributes & hiddenAttribute) != 0;
  return entry;
}

// The kind of a path with these attributes: missing when they cannot be read.
inline platform::PathKind KindOf(std::uint32_t attributes) {
  if (attributes == invalidAttributes) return platform::PathKind::missing;
  return EntryOf(attributes).isDirectory ? platform::PathKind::directory : platform::PathKind::file;
}

}  // namespace win32
