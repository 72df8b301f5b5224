// Handing files to the player and opening the file explorer.
#pragma once

void LaunchPlayer();
void PlacePlayerWindow();
void PlayerClickCheck();
void OpenExplorer();
