#pragma once

// The 32 flag bits of a tile record as the "General" page shows them, by bit: the check box's
// object name and its caption. The misspellings are the names users and their tools know.
struct TileFlagInfo {
    const char* boxName;
    const char* caption;
};

constexpr int kTileFlagCount = 32;
extern const TileFlagInfo kTileFlags[kTileFlagCount];
