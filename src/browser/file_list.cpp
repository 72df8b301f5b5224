// Browser state and the file list's storage.
#include "browser/file_list.h"

#include <cstdlib>

#include "shell/startup.h"

FileList fileList;
char browsedPath[pathBufferSize];
char workingDirectory[pathBufferSize];
int rescanRequested = 0;
BrowserMode browserMode;
int nameLimit = 9;

void AllocateFileList() {
  fileList.names = static_cast<char(*)[nameSlotSize]>(std::calloc(fileListSlots, nameSlotSize));
  if (!fileList.names) FailStartUpBlock("the file list's names");
  fileList.kinds = static_cast<std::int32_t*>(std::calloc(fileListSlots, sizeof(std::int32_t)));
  if (!fileList.kinds) FailStartUpBlock("the file list's kinds");
}

bool SelectionIsCurrent() {
  return fileList.selection >= 1 && fileList.selection <= fileList.count;
}

void ResetBrowserState() {
  std::free(fileList.names);
  std::free(fileList.kinds);
  fileList = FileList{};
  browsedPath[0] = '\0';
  workingDirectory[0] = '\0';
  rescanRequested = 0;
  browserMode = BrowserMode{};
  nameLimit = 9;
}
