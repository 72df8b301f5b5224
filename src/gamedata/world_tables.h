// The game's world tables, reserved and filled at start-up, released at shutdown.
#pragma once

#include <cstdint>

// Reserves and fills every table and reads the asset catalogue; always 1.
std::int32_t InitGameTables();

// Releases every table in order (shutdown); safe when nothing was reserved.
void ReleaseGameTables();
