// Placeholder until the player launch lands.
#include "browser/launch.h"

void LaunchPlayer() {}
void PlacePlayerWindow() {}
void PlayerClickCheck() {}
void OpenExplorer() {}
