// Placeholder until the directory model lands.
#include "browser/directory.h"

void ScanDirectory() {}
void RescanBrowsedDirectory() {}
void EnterDirectory() {}
void GoUp() {}
