// The file list's storage and the look-ups in it.
#include "browser/file_list.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "display/start_up_failure.h"
#include "canvas/text.h"
#include "platform/platform.h"

void AllocateFileList(FileList& fileList) {
  fileList.names = static_cast<char(*)[nameSlotSize]>(std::calloc(fileListSlots, nameSlotSize));
  if (!fileList.names) FailStartUpBlock("the file list's names");
  fileList.kinds = static_cast<std::int32_t*>(std::calloc(fileListSlots, sizeof(std::int32_t)));
  if (!fileList.kinds) FailStartUpBlock("the file list's kinds");
}

TextLine NameCut(const char* name, int keep) {
  char shown[nameSlotSize];
  platform::DisplayText(name, shown, sizeof shown);
  char cut[nameSlotSize];
  const int length =
      std::min(static_cast<int>(strnlen(shown, nameSlotSize - 1)), std::max(keep, 0));
  std::memcpy(cut, shown, static_cast<std::size_t>(length));
  cut[length] = '\0';
  TextLine line;
  FormatText(line.text, sizeof line.text, "%s", cut);
  return line;
}

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
