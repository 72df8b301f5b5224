// The game's sine and cosine tables: each entry the float nearest to the C library's sin or
// cos of its angle, computed by a fast kernel that falls back to the library where rounding
// could differ.
#pragma once

#include <cstdint>

// Fills count entries (a whole number of 1000-entry blocks) of each table.
void FillTrigTables(float* sines, float* cosines, std::int32_t count);
